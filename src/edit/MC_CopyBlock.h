#pragma once

#include "edit/MC_UndoableSongIter.h"

// Copies a range to the clipboard. Undo leaves song and clipboard alone; the step only
// moves to the redo list.
class MC_CopyBlock : public MC_UndoableSongIter {
public:
    MC_CopyBlock(SongIter& viewIter, std::int32_t start, std::int32_t end);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Copy Block"; }
    void Execute() override;

private:
    std::int32_t start_;
    std::int32_t end_;
};
