#pragma once

#include <cstdint>

#include "model/Song.h"
#include "model/SongIter.h"

// Moves every point at or after `tick` by `amount` (negative: earlier). Moving earlier
// needs room before the first moved point.
void ShiftFrom(Song& song, std::int32_t tick, std::int32_t amount);
// Takes `length` ticks of empty time out at `tick`; does nothing when events stand in it.
void CloseSpace(Song& song, std::int32_t tick, std::int32_t length);
// Removes every point from `from` to `to` with all its records.
void RemovePoints(Song& song, std::int32_t from, std::int32_t to);
// Two points at one tick become one: the later one's records join the earlier one.
void MergeAt(Song& song, std::int32_t tick);
// The same for the point a cursor is on.
void MergeInto(Song& song, SongTimeIter& at);

// A record at a tick, found by equality.
struct MsgPlace {
    SongTimePoint* point = nullptr;
    std::size_t index = 0;
    MidiMsg* Msg() const { return point ? point->msgs[index] : nullptr; }
};
// When the record at index `hint` is equal, it is the one: a change can make a record equal
// to a neighbour, and taking the neighbour back would reorder the point.
MsgPlace FindEqualMsg(Song& song, std::int32_t tick, const MidiMsg& msg, long hint = -1);

// Puts the cursor on `msg` at `tick`. False (cursor at the tick's first match) when it
// is not there or the cursor's filter hides it.
bool SetCurrent(SongIter& it, std::int32_t tick, const MidiMsg* msg);
