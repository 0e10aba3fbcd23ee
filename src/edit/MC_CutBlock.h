#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Copies a range to the clipboard, removes it and closes the gap.
class MC_CutBlock : public MC_UndoableSongIter {
public:
    MC_CutBlock(SongIter& viewIter, std::int32_t start, std::int32_t end);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Cut Block"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    SpanSnapshot before_;
};
