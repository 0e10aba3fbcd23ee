#pragma once

#include <cstdint>
#include <vector>

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Gives one controller (or pitch bend) new values over a range of time: its events in
// the range that the view shows go, and the new values take their places. One command
// for the whole range, so that one Undo takes the whole drawing back.
class MC_ControllerValues : public MC_UndoableSongIter {
public:
    struct Point {
        std::int32_t tick;
        std::uint16_t value;
        bool operator==(const Point&) const = default;
    };

    // `model` gives the controller, channel and track of the new events. Points outside
    // `from`..`to` are dropped.
    MC_ControllerValues(SongIter& viewIter, const MidiMsgControlChange& model, std::int32_t from,
                        std::int32_t to, std::vector<Point> points);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Controller Change"; }
    void Execute() override;
    void Undo() override;

private:
    MidiMsgControlChange model_;
    std::int32_t from_;
    std::int32_t to_;
    std::vector<Point> points_;
    SpanSnapshot before_;
};
