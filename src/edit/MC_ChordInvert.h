#pragma once

#include "edit/MC_SaveNotesBase.h"

// Raises the current note an octave and moves on to the next chord tone above where it
// was.
class MC_ChordInvert : public MC_SaveNotesBase {
public:
    MC_ChordInvert(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time);
    const char* GetName() const override { return "Chord Invert"; }
    void Execute() override;

private:
    MidiMsgNote note_;
};
