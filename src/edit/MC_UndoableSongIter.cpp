#include "edit/MC_UndoableSongIter.h"

MC_UndoableSongIter::MC_UndoableSongIter(std::int32_t kind, SongIter& viewIter)
    : CPCommand(kind), iter_(&viewIter), song_(viewIter.GetSong()) {}

void MC_UndoableSongIter::Attach() {
    if (iter_) {
        song_ = iter_->GetSong();
        borrowedIter_ = true;
        viewFilter_ = iter_->Filter();
        savedFilter_ = viewFilter_ ? std::make_unique<ViewFilter>(*viewFilter_) : nullptr;
        iter_->SetFilter(savedFilter_.get());
    } else {
        borrowedIter_ = false;
        ownIter_ = std::make_unique<SongIter>(*song_, savedFilter_.get());
        iter_ = ownIter_.get();
    }
}

void MC_UndoableSongIter::Detach() {
    RestoreFilter();
    if (!iter_)
        return;
    if (borrowedIter_)
        iter_->SetFilter(viewFilter_);
    ownIter_.reset();
    iter_ = nullptr;
    viewFilter_ = nullptr;
}

void MC_UndoableSongIter::RestrictKind(std::int32_t kind, std::int32_t subKey) {
    if (widened_)
        return;
    if (!savedFilter_) {
        // A view without a filter sees everything; a fresh filter does the same.
        savedFilter_ = std::make_unique<ViewFilter>();
        if (iter_)
            iter_->SetFilter(savedFilter_.get());
    }
    savedFilter_->PushKind(kind, subKey);
    widened_ = true;
}

void MC_UndoableSongIter::RestoreFilter() {
    if (savedFilter_ && widened_) {
        savedFilter_->PopKind();
        widened_ = false;
    }
}
