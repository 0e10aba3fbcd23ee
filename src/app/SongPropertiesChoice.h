#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "util/AString.h"
#include "util/Refusal.h"

class CPCommand;
class Song;

// The "Song Properties" dialog's fields without its controls.
struct SongPropertiesChoice {
    AString title;
    AString author;
    AString copyright;
    AString instructions;
    std::int32_t ticksPerQuarter = 384;

    static SongPropertiesChoice From(const Song& song);
    // The resolutions offered, ascending; a song read with another one keeps it on offer,
    // so that OK without touching it changes nothing.
    static std::vector<std::int32_t> Resolutions(const Song& song);

    // The command that applies the choice; none when nothing changed.
    Refusal Make(Song& song, std::unique_ptr<CPCommand>& command) const;

    static constexpr const char* kTooLong =
        "The song is too long for this resolution: its end or a note would lie beyond the "
        "last time a song can hold.";
    static constexpr const char* kNotOffered = "This resolution is not offered.";
};
