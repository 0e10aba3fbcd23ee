#pragma once

#include <cstdint>
#include <memory>

#include "model/MidiMsg.h"
#include "util/PArray.h"

// All events at one tick. Control changes come first, in arrival order; everything
// else follows in arrival order.
class SongTimePoint {
public:
    explicit SongTimePoint(std::int32_t d = 0) : delta(d) {}

    // What adding a record did to the record array, so that cursors resting on this
    // point can follow.
    struct AddResult {
        long removedIndex = -1;  // an earlier value of the same controller was deleted here
        long insertedIndex = -1; // the new record's index; -1 when merged into its coarse partner
    };
    AddResult Add(std::unique_ptr<MidiMsg> msg);

    std::int32_t delta;
    PArray<MidiMsg> msgs;
};
