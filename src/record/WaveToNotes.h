#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "record/DetectFrequency.h"
#include "util/FileResult.h"

class INIFile;

// One note found in a recording. Times in microseconds from the start of the wave.
struct DetectedNote {
    std::uint32_t start = 0;
    std::uint8_t note = 0;
    std::uint8_t velocity = 0;
    std::uint32_t length = 0;       // to the end of the last frame or silence joined to it
    std::uint32_t voicedLength = 0; // the voiced frames joined to it
};

// What the converter is told. The defaults are those of a fresh settings file.
struct WaveToNotesParameters {
    // The wave: a file, or 16-bit mono samples in memory when `samples` is set.
    std::string fileName;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    double sampleRate = 44100.0;

    double tolerance = 3.1717;
    int lowPitch = 20;
    int highPitch = 94;
    double peakWeight = 2.9935;
    double peakFraction = 0.474451;
    long skipBlankToAppend = 15625; // microseconds
    long blankMaxToAppend = 15625;  // microseconds
    double minInNoteDivisor = 64.0;
    double minOutNoteDivisor = 8.0;
    long minVolume = 2258;
    int eraseRest = 1;
    // Which tracker turns the wave into notes: 0 the frame search with peak counting,
    // 1 the tracker made for singing, which finds more of the sung notes on every set of
    // bench/voice and so is the default.
    int method = 1;

    // The two note-value divisors as durations at the tempo the notes will be placed at.
    std::uint32_t minInNoteMicroseconds = 31250;
    std::uint32_t minOutNoteMicroseconds = 250000;

    // Reads every key, falling back on the defaults above, and converts the divisors at
    // `usPerQuarter` microseconds per quarter note.
    void Read(INIFile& ini, std::int32_t usPerQuarter);
    void SetTempo(std::int32_t usPerQuarter);
};

// The frame method's search as the settings ask for it.
FrameSearch FrameSearchOf(const WaveToNotesParameters& parameters);

// A divisor d (a note of value 1/d) as microseconds; divisors near 0 mean "no minimum".
std::uint32_t NoteValueMicroseconds(double divisor, std::int32_t usPerQuarter);

// Turns a sung or played recording into notes. The frame method finds each frame's pitch
// by DetectFrequency and joins frames into notes by pitch with octave-jump correction;
// the sung method (SungNoteFinder) follows pitch probabilities through a note model.
// Every recording is first brought to one channel at the method's analysis rate.
class WaveToNotes {
public:
    // Codes 2 and 3 are no longer given, as every sample format and channel count is
    // read; their texts stay for callers that still name them.
    enum Code { kOk = 0, kBadFormat = 1, kNot16Bits = 2, kNotMono = 3, kOutOfMemory = 4 };
    enum Method { kFrameMethod = 0, kSungMethod = 1 };

    // The rate the frame method's settings were made for.
    static constexpr double kAnalysisRate = 44100.0;

    static constexpr std::size_t kWindowBytes = 131072;
    static constexpr std::size_t kSlideBytes = 65536;
    static constexpr std::size_t kMaxFrames = 2000;
    static constexpr std::size_t kMaxNotes = 2000;
    static constexpr std::uint8_t kVelocity = 96;

    // Told the percentage done, on the thread that converts.
    using ProgressCallback = std::function<void(int percent)>;
    void SetProgressCallback(ProgressCallback callback) { progress_ = std::move(callback); }
    // Checked between frames: a cancelled run stops early and its notes are thrown away.
    void SetCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // Returns 0 or an error code; `notes` is empty unless notes were found.
    int Convert(const WaveToNotesParameters& parameters, std::vector<DetectedNote>& notes,
                int& voicedFrameCount);

    // The text the user is shown for an error code.
    static const char* ErrorText(int code);
    // After a failed Convert of a file: which file and why, when the file is the cause.
    const FileResult& FileProblem() const { return fileProblem_; }

    // Joins analysed frames into notes and drops those voiced for less than the minimum.
    static std::vector<DetectedNote> Segment(const FrequencyAnalysisSegment* frames,
                                             std::size_t frameCount, double sampleRate,
                                             const WaveToNotesParameters& parameters);

private:
    class SampleWindow;
    int Analyse(SampleWindow& window, double sampleRate, const WaveToNotesParameters& parameters,
                std::vector<FrequencyAnalysisSegment>& frames, std::size_t& frameCount,
                int& voicedFrameCount);
    void ReportProgress(std::uint64_t position, std::uint64_t total);
    bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    ProgressCallback progress_;
    int lastPercent_ = -1;
    const std::atomic<bool>* cancel_ = nullptr;
    FileResult fileProblem_;
};

extern const char kWaveToNotesNoNotesText[];
extern const char kWaveToNotesExceptionText[];
