#pragma once

#include "edit/MC_UndoableSongIter.h"

// Sets the pitch of the note equal to the copy at a time.
class MC_ChangePitch : public MC_UndoableSongIter {
public:
    MC_ChangePitch(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time,
                   std::uint8_t newPitch);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Pitch Change"; }
    void Execute() override;
    void Undo() override;

private:
    void SetPitch(std::uint8_t from, std::uint8_t to);

    MidiMsgNote note_;
    std::uint8_t oldPitch_;
    std::uint8_t newPitch_;
    std::int32_t time_;
    // Where in its time point the note stood when last changed.
    long index_ = -1;
};
