#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "model/MusicalTime.h"
#include "record/MidiDeviceReport.h"
#include "util/Refusal.h"

class MidiRecorder;
class MidiTakeBuilder;
class Song;

// How a take goes into the song, as chosen when recording has finished.
struct MidiTakePlacement {
    std::int32_t at = 0;
    int method = 0; // 0 Mix, 1 Overwrite, 2 Insert
    bool assignByChannel = false;
    bool align = false;
    std::int32_t grid = 0;
    bool alignBeginnings = false;
    bool alignDurations = false;
    bool fit = false;
    std::int32_t fitLength = 0;
};

// What the "MIDI Record" dialog does, without the dialog: records while it is open,
// drains the recorder into the take, finishes or cancels, holds the placement options
// and says which may be changed, and checks them on OK.
class MidiRecordSession {
public:
    enum class State { Recording, Choosing, Closed };

    static constexpr const char* kRecording = "Recording...";
    static constexpr const char* kReceiving = "Receiving MIDI Messages...";
    static constexpr const char* kFinished = "Recording Finished - Select Options:";
    static constexpr const char* kNothingRecorded = "Nothing was recorded.";
    static constexpr const char* kSomeNotOpened =
        "Some of the MIDI recording devices could not be opened.\nHit return to view these "
        "non-fatal errors.";
    static constexpr const char* kFitZero = "Fit-To length is zero!";

    // The take is timed at `usPerQuarter` (the tempo where it goes) in the song's
    // resolution; the place-at position starts at `cursor`. With relative times the
    // take starts at its first message, else at the start of input.
    MidiRecordSession(Song& song, std::int32_t usPerQuarter, std::int32_t cursor,
                      bool relativeTimes, MidiRecorder& recorder);
    ~MidiRecordSession();

    // Runs `startHook` (playing along), then starts the recorder. False, after showing
    // the report and calling `stopPlayer`, when recording cannot start: the dialog closes.
    bool Open(const std::function<void()>& startHook, const std::function<void()>& stopPlayer);
    // Takes what the ports delivered into the take; the number of messages read.
    std::size_t Drain();
    // "Done": stops, shows the reports, stops the player and drains the rest. False when
    // nothing was recorded (after saying so): the dialog closes. The fit amount is preset
    // to the length of the take as fitting measures it.
    bool Done(const std::function<void()>& stopPlayer);
    // "Cancel": stops if still recording (its report is shown); the take is dropped.
    void Cancel(const std::function<void()>& stopPlayer);
    // "OK": the placement, or why not (the dialog stays open).
    Refusal Accept(MidiTakePlacement& placement) const;

    State GetState() const { return state_; }
    const char* MessageText() const;
    bool OptionsEnabled() const { return state_ == State::Choosing; }
    bool FitFieldsEnabled() const { return OptionsEnabled() && fitToTime; }
    bool AlignBoxesEnabled() const { return OptionsEnabled() && alignEntry > 0; }
    const Song& Take() const { return *take_; }
    // The take for placing; the session has none afterwards.
    std::unique_ptr<Song> TakeSong();
    // From the take's start to the end of the event that ends last.
    static std::int32_t TakeLength(Song& take);

    // The option fields (positions and amounts zero-based, as MusicalTime has them).
    MusicalTime placeAt;
    int method = 0;
    bool assignByChannel = false;
    int alignEntry = 0;
    bool alignBeginnings = false;
    bool alignDurations = false;
    bool fitToTime = false;
    MusicalTime fitAmount;

private:
    void StopRecorder(const std::function<void()>& stopPlayer);

    Song& song_;
    MidiRecorder& recorder_;
    std::unique_ptr<Song> take_;
    std::unique_ptr<MidiTakeBuilder> builder_;
    std::optional<MidiDeviceReport> startReport_;
    State state_ = State::Recording;
    bool received_ = false;
};
