#include "edit/MC_PasteBlock.h"

#include "edit/Clipboard.h"
#include "edit/EditSupport.h"

MC_PasteBlock::MC_PasteBlock(SongIter& viewIter, const PasteOptions& options)
    : MC_UndoableSongIter(kCmdPasteBlock, viewIter), options_(options) {}

MC_PasteBlock::MC_PasteBlock(SongIter& viewIter, const PasteOptions& options,
                             std::unique_ptr<BlockCopy> source)
    : MC_UndoableSongIter(kCmdPasteBlock, viewIter), options_(options), source_(std::move(source)) {
}

void MC_PasteBlock::Execute() {
    Frame frame(*this);
    span_ = 0;
    Song& song = GetSong();
    // Later copies to the clipboard do not change what this paste pastes on redo.
    if (!source_) {
        const BlockCopy* clip = Clipboard::Get();
        if (!clip)
            return;
        source_ = clip->Clone();
    }
    if (source_->TicksPerQuarter() != song.TicksPerQuarter())
        source_ = source_->ConvertedTo(song.TicksPerQuarter());
    const std::int32_t span = BlockOps::PasteSpan(source_->length, options_.copies, options_.space);
    if (span == 0)
        return;
    WidenFilter();
    if (options_.method == PasteMethod::Insert)
        before_.Take(song, 0, -1);
    else
        before_.Take(song, options_.at, options_.at + span - 1);
    span_ = BlockOps::PasteCopies(Iter(), options_.at, options_.method, options_.target, *source_,
                                  options_.copies, options_.space);
}

void MC_PasteBlock::Undo() {
    Frame frame(*this);
    if (!before_.Taken())
        return;
    Song& song = GetSong();
    if (options_.method == PasteMethod::Insert && span_ > 0) {
        RemovePoints(song, options_.at, options_.at + span_ - 1);
        CloseSpace(song, options_.at, span_);
    }
    before_.Restore(song);
}
