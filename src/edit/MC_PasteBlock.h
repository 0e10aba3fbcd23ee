#pragma once

#include <memory>

#include "edit/BlockOps.h"
#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

struct PasteOptions {
    std::int32_t at = 0;
    PasteMethod method = PasteMethod::Mix;
    PasteTarget target;
    std::int32_t copies = 1;
    std::int32_t space = 0;
};

// Pastes the clipboard, or a given copy, one or more times.
class MC_PasteBlock : public MC_UndoableSongIter {
public:
    // Takes its own copy of the clipboard on its first run.
    MC_PasteBlock(SongIter& viewIter, const PasteOptions& options);
    // Pastes `source` (a recording, for instance) instead of the clipboard.
    MC_PasteBlock(SongIter& viewIter, const PasteOptions& options,
                  std::unique_ptr<BlockCopy> source);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Paste Block"; }
    void Execute() override;
    void Undo() override;
    std::int32_t Span() const { return span_; }

private:
    PasteOptions options_;
    std::unique_ptr<BlockCopy> source_;
    std::int32_t span_ = 0;
    SpanSnapshot before_;
};
