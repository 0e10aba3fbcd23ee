#pragma once

#include <cstdint>
#include <memory>

#include "model/Song.h"
#include "model/SongIter.h"

// Finds or makes the time point at a tick, walking from wherever the previous request
// left it, so that a run of rising ticks costs one pass over the song.
class PointCursor {
public:
    explicit PointCursor(Song& song) : song_(song), it_(song) {}

    // The point at `tick`, created when there is none.
    SongTimePoint& PointAt(std::int32_t tick);
    // Adds a record with the song's rules for control changes.
    void Add(std::int32_t tick, std::unique_ptr<MidiMsg> msg);
    // The point at `tick` or null.
    SongTimePoint* Find(std::int32_t tick);
    SongTimeIter& Iter() { return it_; }

private:
    Song& song_;
    SongTimeIter it_;
};
