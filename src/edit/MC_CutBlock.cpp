#include "edit/MC_CutBlock.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/EditSupport.h"

MC_CutBlock::MC_CutBlock(SongIter& viewIter, std::int32_t start, std::int32_t end)
    : MC_UndoableSongIter(kCmdCutBlock, viewIter), start_(std::max(start, 0)),
      end_(std::min(end, kEndTick - 1)) {}

void MC_CutBlock::Execute() {
    Frame frame(*this);
    if (end_ < start_)
        return;
    WidenFilter();
    // The point just after the range joins the range's start when the gap closes.
    before_.Take(GetSong(), start_, end_ + 1);
    BlockOps::Cut(Iter(), start_, end_);
}

void MC_CutBlock::Undo() {
    Frame frame(*this);
    if (!before_.Taken())
        return;
    RemovePoints(GetSong(), start_, start_);
    ShiftFrom(GetSong(), start_, end_ - start_ + 1);
    before_.Restore(GetSong());
}
