#pragma once

#include "edit/BlockOps.h"
#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Velocity (or a crescendo), instrument and channel of the notes of a range.
class MC_SelectionProperties : public MC_UndoableSongIter {
public:
    MC_SelectionProperties(SongIter& viewIter, std::int32_t start, std::int32_t end,
                           const SelectionProps& props);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Selection Properties"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    SelectionProps props_;
    SpanSnapshot before_;
};
