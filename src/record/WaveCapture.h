#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "record/AudioCaptureSource.h"
#include "record/DetectFrequency.h"

class PostTarget;
struct WaveToNotesParameters;

// The recorder behind "Record Wave" and "Voice to MIDI Notes": takes the sound of a
// capture source, writes it as 16-bit mono 44100 Hz to "VLRecording.WAV" in the folder
// it is given, and analyses it on a thread of its own while recording so that the pitch
// can be drawn live. Frames are reported by index in recording order. Every call is made
// from one thread (the one that owns the songs); results come back as return values, and
// each new analysed frame is posted to the frame target.
class WaveCapture {
public:
    static constexpr const char* kTakeName = "VLRecording.WAV";
    // What a recording that could not start is told with, before the reason.
    static constexpr const char* kStartFailed = "Error occurred recording wave.";

    explicit WaveCapture(std::unique_ptr<AudioCaptureSource> source);
    ~WaveCapture();
    WaveCapture(const WaveCapture&) = delete;
    WaveCapture& operator=(const WaveCapture&) = delete;

    // Folder the take is written to (the home directory).
    void SetDirectory(const std::filesystem::path& directory);
    std::filesystem::path TakePath() const;

    // Analysis settings, as the converter's (its defaults until set): tolerance, pitch range as
    // MIDI notes, the noise threshold in sample units, peak fraction and weight. `eventName` names
    // the notice posted per new frame.
    void SetAnalysis(const std::string& eventName, double tolerance, int lowPitch, int highPitch,
                     long minVolume, double peakFraction, double peakWeight);
    // The same from the converter's settings, with the event name "VLNewFreqEvent".
    void SetAnalysis(const WaveToNotesParameters& parameters);
    // Where each newly analysed frame is announced (message number, frame count as the
    // value); null for none.
    void SetFrameTarget(PostTarget* target, std::uint32_t message);

    // Opens the take file, replacing one that is there; then Start begins recording into
    // it. False with `error` set; a failed Start removes the empty take.
    bool Prepare(std::string& error);
    bool Start(std::string& error);
    // Stops the source, finishes the analysis of what came in and closes the file.
    void Stop();
    bool Recording() const;
    // True when the source has delivered everything it has (never for a microphone).
    bool SourceFinished() const;

    // Removes silence at the beginning and/or the end of the closed take; `removed` is
    // the time cut from the beginning, in microseconds. False with `error` set, the take
    // left as it was.
    bool Trim(bool begin, bool end, std::uint32_t& removed, std::string& error);

    // Frames analysed so far, and one of them by index: one per stretch the frame search
    // looked at, silent stretches included one by one (not joined into runs), so that a
    // frame once reported never changes.
    std::size_t FrameCount() const;
    bool GetFrame(std::size_t index, FrequencyAnalysisSegment& frame) const;
    // Samples taken in so far and samples already analysed: their difference is the
    // processing delay. Read AnalysedSamples first; CapturedSamples is then never less.
    std::uint64_t CapturedSamples() const;
    std::uint64_t AnalysedSamples() const;
    // Samples that came while the writer was too far behind to take them.
    std::uint64_t LostSamples() const;
    // What went wrong while recording (writing the file, samples lost); "" when nothing.
    std::string Problem() const;
    // The name given with the analysis settings.
    const std::string& EventName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
