#pragma once

#include <cstdint>
#include <memory>

#include "util/AString.h"
#include "util/Refusal.h"

class CPCommand;
class Song;

// The "Track Properties" dialog's fields without its controls.
struct TrackPropertiesChoice {
    static constexpr int kNoDefaultChannel = 16;     // after "Channel 1" .. "Channel 16"
    static constexpr int kNoDefaultInstrument = 128; // after the 128 instruments
    static constexpr std::int32_t kMaxBank = 16383;

    int track = 1; // one-based, as "For Track #" shows it
    int channel = kNoDefaultChannel;
    int instrument = kNoDefaultInstrument;
    std::int32_t bank = -1;

    // Refuses when the song has no tracks.
    static Refusal Available(const Song& song);
    // The fields as track `track` (zero-based) has them now.
    static TrackPropertiesChoice For(const Song& song, std::size_t track);
    // The bank means something only with an instrument.
    bool BankUsed() const { return instrument >= 0 && instrument < kNoDefaultInstrument; }

    static AString ChannelText(int index);
    static AString InstrumentText(int index);

    // The command that applies the choice; none when nothing would change.
    Refusal Make(Song& song, std::unique_ptr<CPCommand>& command) const;

    static constexpr const char* kNoTracks =
        "This operation can not be performed\nsince there are no notes in the song,\nand "
        "therefore no tracks.";
    static constexpr const char* kNoDefault = "No Default";
};
