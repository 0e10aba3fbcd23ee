#pragma once

#include "edit/CPCommand.h"
#include "model/SongIter.h"

// Stretches or squeezes a range to a new length. Not undoable.
class MC_FitToTime : public CPCommand {
public:
    MC_FitToTime(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t newLength,
                 bool moveRest);
    bool IsUndoable() const override { return false; }
    void Execute() override;

private:
    SongIter& iter_;
    std::int32_t start_;
    std::int32_t end_;
    std::int32_t newLength_;
    bool moveRest_;
};
