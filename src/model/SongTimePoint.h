#pragma once

#include <cstdint>
#include <memory>

#include "model/MidiMsg.h"
#include "util/LinkedList.h"
#include "util/PArray.h"

class PointIndex;

// All events at one tick. Control changes come first, in arrival order; everything
// else follows in arrival order.
class SongTimePoint {
public:
    explicit SongTimePoint(std::int32_t ticks = 0) : delta(ticks) {}
    SongTimePoint(const SongTimePoint&) = delete;
    SongTimePoint& operator=(const SongTimePoint&) = delete;

    // What adding a record did to the record array, so that cursors resting on this
    // point can follow.
    struct AddResult {
        long removedIndex = -1;  // an earlier value of the same controller was deleted here
        long insertedIndex = -1; // the new record's index; -1 when merged into its coarse partner
    };
    AddResult Add(std::unique_ptr<MidiMsg> msg);

    // Ticks after the point before (the first point: after 0). Reads as a number; only
    // the song changes it, through its index, whose ticks would go wrong otherwise.
    class Delta {
    public:
        operator std::int32_t() const { return value_; }
        Delta(const Delta&) = default;
        Delta& operator=(const Delta&) = delete;

    private:
        friend class SongTimePoint;
        friend class PointIndex;
        explicit Delta(std::int32_t value) : value_(value) {}
        std::int32_t value_;
    };

    PArray<MidiMsg> msgs;
    Delta delta;

private:
    friend class PointIndex;
    // Beside the delta, where it takes no more room than padding would: the point's tick
    // counted from where its subtree in the index starts, that is its delta plus the
    // deltas of its left subtree.
    std::int32_t subtreeTick_ = 0;
    // The point's place in the index; the list's end stands for none.
    using Link = LinkedList<SongTimePoint>::Node;
    Link left_{};
    Link right_{};
    Link parent_{};
};
