#pragma once

#include "edit/MC_UndoableSongIter.h"

// Moves every event at or after a time later by a length.
class MC_InsertSpace : public MC_UndoableSongIter {
public:
    MC_InsertSpace(SongIter& viewIter, std::int32_t time, std::int32_t length);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Insert Space"; }
    void Execute() override;
    void Undo() override;

private:
    std::int32_t time_;
    std::int32_t length_;
    bool opened_ = false;
};
