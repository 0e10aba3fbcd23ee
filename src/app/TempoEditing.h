#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "util/AString.h"
#include "util/Refusal.h"

class CPCommand;
class Song;

// The tempo list and its entry dialog without their controls: what the list shows, what
// the entry dialog starts with, and which typed entries become a tempo change.
class TempoEditing {
public:
    static constexpr long kNewEntry = -1;
    static constexpr std::int32_t kMinBpm = 1;
    static constexpr std::int32_t kMaxBpm = 960;

    // What the entry dialog shows and the user types.
    struct Fields {
        AString time;           // "bar:beat:tick"
        std::int32_t bpm = 120; // beats per minute
        bool moveLater = false; // later entries follow a moved one
    };

    explicit TempoEditing(Song& song) : song_(song) {}

    std::vector<AString> ListLines() const;
    // The fields for entry `index`, or for a new entry at `tick`. A stored tempo of zero
    // cannot be shown as beats per minute: `notice` then says it is replaced.
    Fields Open(long index, std::int32_t tick, std::optional<Message>& notice) const;
    // The time field is fixed for the first entry, which always stays at the start.
    static bool TimeEditable(long index) { return index != 0; }
    // Moving later entries along only means something for an existing, later entry.
    static bool MoveLaterOffered(long index) { return index > 0; }

    // Reads the fields for entry `index` (or kNewEntry): the command to submit, or why
    // not.
    Refusal Make(long index, const Fields& fields, std::unique_ptr<CPCommand>& command) const;
    // The tick the typed time stands for; a beat past the measure's last is read as the
    // last beat.
    Refusal ReadTime(const AString& text, std::int32_t& tick) const;

    static constexpr const char* kZeroTempo =
        "Problem Detected: tempo value of zero. This will be changed to a valid value.";
    static constexpr const char* kBeforePrevious =
        "Cannot accept time value: Time is before previous tempo entry's time.";
    static constexpr const char* kAfterNext =
        "Cannot accept time value: Time is not before next tempo entry's time.\n"
        "Turn on moving the later entries to move them along.";
    static constexpr const char* kNotATime =
        "Cannot accept time value: Type the time as bar:beat:tick, for example 3:1:0.";
    static constexpr const char* kNoSuchTime =
        "Cannot accept time value: There is no such time in the song.";
    static constexpr const char* kBpmRange = "The tempo must be from 1 to 960 beats per minute.";

private:
    Song& song_;
};
