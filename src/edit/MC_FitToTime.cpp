#include "edit/MC_FitToTime.h"

#include "edit/BlockOps.h"

MC_FitToTime::MC_FitToTime(SongIter& iter, std::int32_t start, std::int32_t end,
                           std::int32_t newLength, bool moveRest)
    : MC_UndoableSongIter(kCmdFitToTime, iter), start_(start), end_(end), newLength_(newLength),
      moveRest_(moveRest) {}

void MC_FitToTime::Execute() {
    Frame frame(*this);
    before_.Take(GetSong(), start_, kEndTick);
    // Every kind of event moves with the notes; the view's own filter stays as it is.
    WidenFilter();
    BlockOps::FitToTime(Iter(), start_, end_, newLength_, moveRest_);
    RestoreFilter();
}

void MC_FitToTime::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
