#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "record/WaveCapture.h"
#include "util/Refusal.h"

class CommandProcessor;
class Song;

// The "Record Wave" command apart from its window: records a take, and on OK trims it,
// moves it beside the song under the chosen name and puts an audio cue for it into the
// song as one undoable command. A take is never lost: until it is placed it stays as
// "VLRecording.WAV" in the home directory, and recording over it is asked first.
class RecordWave {
public:
    static constexpr const char* kTitle = "MIDI Record Wave / Voice";
    static constexpr const char* kNeedsSavedSong =
        "This function requires the song be saved first, so\nVorlaune knows where to place the "
        "WAV file.";
    static constexpr const char* kRecording = "Recording...";
    static constexpr const char* kFinished = "Recording Finished - Select Options:";
    static constexpr const char* kStartFailed = WaveCapture::kStartFailed;
    static constexpr const char* kMoveFailed =
        "File Save failed.\nRecording saved as 'VLRecording.WAV' in the home directory.";
    static constexpr const char* kTrimFailed =
        "The dead space could not be removed; the recording is unchanged.";
    static constexpr const char* kReplaceTake =
        "The last recording was not placed in a song and is still kept as:\n\n";
    static constexpr const char* kReplaceTakeQuestion = "\n\nRecord over it?";
    static constexpr const char* kReplaceFile = "There already is a file\n\n";
    static constexpr const char* kReplaceFileQuestion = "\n\nReplace it with the recording?";
    static constexpr const char* kIncomplete = "The recording is incomplete:\n\n";
    static constexpr const char* kNoName = "Enter a name for the wave file.";
    static constexpr const char* kTakeItself =
        "That is where the next recording goes. Choose another name for this one.";

    // Where the take goes: the song (saved, so that it has a folder), its commands, the
    // place-at time and the track of the view the command came from.
    struct Target {
        Song* song = nullptr;
        CommandProcessor* commands = nullptr;
        std::filesystem::path songFile;
        std::int32_t placeAt = 0;
        std::uint16_t track = 0;
    };

    // `capture` has its folder (the home directory) and analysis set.
    RecordWave(const Target& target, std::unique_ptr<WaveCapture> capture);
    ~RecordWave();
    RecordWave(const RecordWave&) = delete;
    RecordWave& operator=(const RecordWave&) = delete;

    // The song's file name without a final ".mid" (any case), with ".WAV".
    static std::string PresetName(const std::string& songFileName);
    // `at` moved later by the time cut from the take's beginning, at the tempo there.
    static std::int32_t ShiftedTime(std::int32_t at, std::uint32_t removedMicroseconds,
                                    std::int32_t ticksPerQuarter, std::int32_t usPerQuarter);

    // Before recording into `take`: asks when an earlier take that was never placed
    // would be recorded over; false when it is to be kept.
    static bool MayRecordOverTake(const std::filesystem::path& take);
    // Starts recording; a refusal names what failed.
    Refusal Start();
    // "Done": ends the take, and says so when part of it could not be kept.
    void Finish();
    // "OK": true when the cue is in the song. Otherwise the user was told why (or
    // chose to keep a file), the song is unchanged and the dialog stays open.
    bool Place(bool trimBegin, bool trimEnd, const std::string& name);
    // "Cancel": stops recording; what was recorded stays as the unplaced take.
    void Cancel();

    std::string PresetName() const;
    std::filesystem::path TakePath() const;
    std::int32_t PlaceAt() const;
    WaveCapture& Capture() { return *capture_; }

private:
    bool Move(const std::filesystem::path& to, std::string& error);

    Target target_;
    std::unique_ptr<WaveCapture> capture_;
    std::uint32_t removed_ = 0; // cut from the take's beginning so far
};
