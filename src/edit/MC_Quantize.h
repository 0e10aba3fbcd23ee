#pragma once

#include "edit/CPCommand.h"
#include "model/SongIter.h"

// Aligns the notes of a range to a grid. Not undoable.
class MC_Quantize : public CPCommand {
public:
    MC_Quantize(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t grid,
                bool alignBeginnings, bool alignDurations);
    bool IsUndoable() const override { return false; }
    void Execute() override;

private:
    SongIter& iter_;
    std::int32_t start_;
    std::int32_t end_;
    std::int32_t grid_;
    bool alignBeginnings_;
    bool alignDurations_;
};
