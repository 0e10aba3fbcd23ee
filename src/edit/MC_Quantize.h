#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Aligns the notes of a range to a grid. Undo puts back the song from the start of the
// range on, as it was.
class MC_Quantize : public MC_UndoableSongIter {
public:
    MC_Quantize(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t grid,
                bool alignBeginnings, bool alignDurations);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Quantize"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    std::int32_t grid_;
    bool alignBeginnings_;
    bool alignDurations_;
    // Aligned beginnings move the events after them, so everything from the start is kept.
    SpanSnapshot before_;
};
