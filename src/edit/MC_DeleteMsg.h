#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Removes a record; when it stood alone at its time, later events move up to close the
// gap it leaves.
class MC_DeleteMsg : public MC_UndoableSongIter {
public:
    MC_DeleteMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t time);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Delete Item"; }
    void Execute() override;
    void Undo() override;
    std::int32_t ClosedLength() const { return closed_; }

private:
    std::unique_ptr<MidiMsg> msg_;
    std::int32_t time_;
    std::int32_t closed_ = 0;
    SpanSnapshot before_;
};
