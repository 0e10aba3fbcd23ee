#include "edit/MC_ClearBlock.h"

#include "edit/BlockOps.h"

MC_ClearBlock::MC_ClearBlock(SongIter& viewIter, std::int32_t start, std::int32_t end,
                             std::int32_t kind, std::int32_t subKey)
    : MC_UndoableSongIter(kCmdClearBlock, viewIter), start_(start), end_(end), kind_(kind),
      subKey_(subKey) {}

void MC_ClearBlock::Execute() {
    Frame frame(*this);
    RestrictKind(kind_, subKey_);
    before_.Take(GetSong(), start_, end_);
    BlockOps::Clear(Iter(), start_, end_);
}

void MC_ClearBlock::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
