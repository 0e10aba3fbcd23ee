#include "edit/MC_Quantize.h"

#include "edit/BlockOps.h"

MC_Quantize::MC_Quantize(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t grid,
                         bool alignBeginnings, bool alignDurations)
    : MC_UndoableSongIter(kCmdQuantize, iter), start_(start), end_(end), grid_(grid),
      alignBeginnings_(alignBeginnings), alignDurations_(alignDurations) {}

void MC_Quantize::Execute() {
    Frame frame(*this);
    before_.Take(GetSong(), start_, kEndTick);
    BlockOps::Quantize(Iter(), start_, end_, grid_, alignBeginnings_, alignDurations_);
}

void MC_Quantize::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
