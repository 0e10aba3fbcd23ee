#pragma once

#include <cstdint>
#include <memory>

#include "model/Song.h"

// Events copied out of a song: times relative to the start of the copy, the tracks they
// came from, the source's resolution, and the span of time the copy stands for (what a
// paste inserts or writes over).
struct BlockCopy {
    std::unique_ptr<Song> song;
    std::int32_t length = 0;

    std::int32_t TicksPerQuarter() const { return song->TicksPerQuarter(); }
    std::unique_ptr<BlockCopy> Clone() const;
    // The same copy at another resolution.
    std::unique_ptr<BlockCopy> ConvertedTo(std::int32_t ticksPerQuarter) const;
};

// A copy of a song's records with the same points and the same order inside each point.
std::unique_ptr<Song> CloneSongEvents(Song& source);
