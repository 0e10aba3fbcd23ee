#pragma once

#include "edit/CPCommand.h"
#include "model/MidiMsg.h"

// New text for a lyric or audio cue already in the song. Not undoable.
class MC_ChangeLyric : public CPCommand {
public:
    MC_ChangeLyric(MidiMsgText& event, AString text);
    bool IsUndoable() const override { return false; }
    void Execute() override { event_.text = text_; }

private:
    MidiMsgText& event_;
    AString text_;
};
