#pragma once

#include "edit/MC_SaveNotesBase.h"

// Adds a note to the notes sounding at a time (a chord note).
class MC_AddMultipleMsg : public MC_SaveNotesBase {
public:
    MC_AddMultipleMsg(SongIter& viewIter, std::uint8_t currentPitch, const MidiMsgNote& note,
                      std::int32_t time);
    const char* GetName() const override { return "Add Multiple Note"; }
    void Execute() override;

private:
    MidiMsgNote note_;
};
