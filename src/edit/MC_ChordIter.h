#pragma once

#include "edit/MC_SaveNotesBase.h"

// Replaces the chord around the current note by the next (or previous) chord of the
// chord table.
class MC_ChordIter : public MC_SaveNotesBase {
public:
    MC_ChordIter(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time, int step);
    const char* GetName() const override { return "Chord"; }
    void Execute() override;

private:
    MidiMsgNote note_;
    int step_;
};
