#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Song.h"

// What undo puts back: every record of every track in a span of time, in its place
// inside its time point, and the track table. Putting records back where they stood,
// rather than adding them again, leaves the song exactly as it was, down to the order
// of records that share a tick.
class SpanSnapshot {
public:
    // Copies the points from `from` to `to` (inclusive). An empty span (to < from)
    // keeps only the track table.
    void Take(Song& song, std::int32_t from, std::int32_t to);
    // Replaces whatever lies in the span now by the copied points and returns the track
    // table to its former state. Tracks added since go again; they hold no records by
    // then.
    void Restore(Song& song);
    bool Taken() const { return taken_; }
    std::int32_t From() const { return from_; }
    std::int32_t To() const { return to_; }
    bool HasPointAt(std::int32_t tick) const;

private:
    struct Point {
        std::int32_t tick;
        std::vector<std::unique_ptr<MidiMsg>> msgs;
    };
    struct TrackState {
        std::uint8_t channel;
        std::uint8_t program;
        std::int32_t bank;
    };

    std::int32_t from_ = 0;
    std::int32_t to_ = -1;
    std::vector<Point> points_;
    std::vector<TrackState> tracks_;
    bool taken_ = false;
};
