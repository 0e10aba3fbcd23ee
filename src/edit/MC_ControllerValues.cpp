#include "edit/MC_ControllerValues.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/PointCursor.h"

MC_ControllerValues::MC_ControllerValues(SongIter& viewIter, const MidiMsgControlChange& model,
                                         std::int32_t from, std::int32_t to,
                                         std::vector<Point> points)
    : MC_UndoableSongIter(kCmdControllerValues, viewIter), model_(model),
      from_(std::max<std::int32_t>(from, 0)), to_(std::max(to, from_)), points_(std::move(points)) {
    std::erase_if(points_, [this](const Point& p) { return p.tick < from_ || p.tick > to_; });
    std::stable_sort(points_.begin(), points_.end(),
                     [](const Point& a, const Point& b) { return a.tick < b.tick; });
}

void MC_ControllerValues::Execute() {
    Frame frame(*this);
    RestrictKind(kMsgControlChange, model_.controller);
    // Everything in the range is kept, so that undo puts back the very records that
    // stood there, in their order.
    before_.Take(GetSong(), from_, to_);
    BlockOps::Clear(Iter(), from_, to_);
    if (points_.empty())
        return;
    RecordTrackUse(GetSong(), model_);
    PointCursor cursor(GetSong());
    for (const Point& p : points_) {
        auto msg = std::make_unique<MidiMsgControlChange>(model_);
        msg->value = p.value;
        cursor.Add(p.tick, std::move(msg));
    }
}

void MC_ControllerValues::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
