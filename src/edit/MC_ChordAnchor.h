#pragma once

#include "edit/MC_SaveNotesBase.h"

// Adds a note an interval (an octave, from the note views) away from the current note;
// the current note stays current.
class MC_ChordAnchor : public MC_SaveNotesBase {
public:
    MC_ChordAnchor(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time, int interval);
    const char* GetName() const override { return "Chord Anchor"; }
    void Execute() override;

private:
    MidiMsgNote note_;
    int interval_;
};
