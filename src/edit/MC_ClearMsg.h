#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Removes a record; nothing moves.
class MC_ClearMsg : public MC_UndoableSongIter {
public:
    MC_ClearMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t time);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Clear Item"; }
    void Execute() override;
    void Undo() override;

private:
    std::unique_ptr<MidiMsg> msg_;
    std::int32_t time_;
    SpanSnapshot before_;
};
