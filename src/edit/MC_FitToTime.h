#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Stretches or squeezes a range to a new length. Undo puts back the song from the start
// of the range on, as it was.
class MC_FitToTime : public MC_UndoableSongIter {
public:
    MC_FitToTime(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t newLength,
                 bool moveRest);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Fit to Time"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    std::int32_t newLength_;
    bool moveRest_;
    // Events after the range move too, so everything from its start is kept.
    SpanSnapshot before_;
};
