#include "edit/MC_DeleteSpace.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/EditSupport.h"

MC_DeleteSpace::MC_DeleteSpace(SongIter& viewIter, std::int32_t time, std::int32_t length)
    : MC_UndoableSongIter(kCmdDeleteSpace, viewIter), time_(time),
      length_(std::clamp<std::int32_t>(length, 0, kEndTick - std::max(time, 0))) {}

void MC_DeleteSpace::Execute() {
    Frame frame(*this);
    if (length_ <= 0 || time_ < 0)
        return;
    WidenFilter();
    // The point just after the span joins the span's start when the gap closes.
    before_.Take(GetSong(), time_, time_ + length_);
    BlockOps::DeleteSpace(Iter(), time_, length_);
}

void MC_DeleteSpace::Undo() {
    Frame frame(*this);
    if (!before_.Taken())
        return;
    RemovePoints(GetSong(), time_, time_);
    ShiftFrom(GetSong(), time_, length_);
    before_.Restore(GetSong());
}
