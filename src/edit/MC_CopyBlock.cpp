#include "edit/MC_CopyBlock.h"

#include "edit/BlockOps.h"

MC_CopyBlock::MC_CopyBlock(SongIter& viewIter, std::int32_t start, std::int32_t end)
    : MC_UndoableSongIter(kCmdCopyBlock, viewIter), start_(start), end_(end) {}

void MC_CopyBlock::Execute() {
    Frame frame(*this);
    WidenFilter();
    BlockOps::CopyToClipboard(Iter(), start_, end_);
}
