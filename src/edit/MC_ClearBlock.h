#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Removes the events of one kind (or all kinds) in a range; later events stay put.
class MC_ClearBlock : public MC_UndoableSongIter {
public:
    MC_ClearBlock(SongIter& viewIter, std::int32_t start, std::int32_t end,
                  std::int32_t kind = kAllKinds, std::int32_t subKey = kAnySubKey);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Clear Block"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    std::int32_t kind_;
    std::int32_t subKey_;
    SpanSnapshot before_;
};
