#pragma once

#include <cstdint>
#include <string>

class Song;

// How long a song is, notes' ends included: what printing and rendering check before
// they start, so that a tiny file with one far event or one endless note is refused
// instead of taking hours and gigabytes.
struct SongExtent {
    std::int64_t endTick = 0;  // where the last record or note ends
    std::int64_t measures = 0; // measures up to and including the one holding the end
    double seconds = 0.0;      // playing time at the song's tempos

    static constexpr const char* kRenderLimitKey = "MaxRenderHours";
    static constexpr long kDefaultRenderHours = 24;

    static SongExtent Of(Song& song);
    // The "MaxRenderHours" setting, or its default without settings.
    static long RenderHourLimit();
    // "Cannot render this song:\n\nIt lasts ..." when playing takes longer than
    // `maxHours`; empty otherwise.
    std::string RenderRefusal(long maxHours) const;
};
