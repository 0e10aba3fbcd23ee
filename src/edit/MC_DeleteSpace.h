#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Removes a span of time and what stands in it; later events move earlier.
class MC_DeleteSpace : public MC_UndoableSongIter {
public:
    MC_DeleteSpace(SongIter& viewIter, std::int32_t time, std::int32_t length);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Delete Space"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t time_;
    std::int32_t length_;
    SpanSnapshot before_;
};
