#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Places a copy of a record at a time beside what is there; nothing moves.
class MC_PutMsgAtTime : public MC_UndoableSongIter {
public:
    MC_PutMsgAtTime(SongIter& viewIter, const MidiMsg& msg, std::int32_t time);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Put Item"; }
    void Execute() override;
    void Undo() override;

private:
    std::unique_ptr<MidiMsg> msg_;
    std::int32_t time_;
    SpanSnapshot before_;
};
