#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Moves everything at or after a time later and places a record in the room made.
class MC_InsertMsg : public MC_UndoableSongIter {
public:
    MC_InsertMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t shift, std::int32_t time);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Insert Item"; }
    void Execute() override;
    void Undo() override;

private:
    std::unique_ptr<MidiMsg> msg_;
    std::int32_t shift_;
    std::int32_t time_;
    SpanSnapshot before_;
};
