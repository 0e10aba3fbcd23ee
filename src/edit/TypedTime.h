#pragma once

#include <cstdint>

#include "model/MusicalTime.h"
#include "model/Song.h"
#include "util/Refusal.h"

// Reading the bars, beat and ticks fields of the editing dialogs. A position that does
// not exist in the song's time map is refused with a message that says why, never moved
// to the nearest one that does.
class TypedTime {
public:
    enum class Reach { Anywhere, WithinSong };
    // `time` counts from 0 (bar 1 beat 1 is 0:0). WithinSong also refuses positions past
    // the end of the song's last bar.
    static Refusal ToTick(const Song& song, const MusicalTime& time, std::int32_t& tick,
                          Reach reach = Reach::Anywhere);
    // The end of the last bar that holds anything; the end of bar 1 for an empty song.
    static std::int32_t SongEnd(const Song& song);
};
