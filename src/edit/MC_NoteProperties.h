#pragma once

#include "edit/MC_UndoableSongIter.h"

// Sets velocity, note-off velocity and duration of the note equal to the copy at a time.
class MC_NoteProperties : public MC_UndoableSongIter {
public:
    MC_NoteProperties(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time,
                      std::uint8_t velocity, std::uint8_t releaseVelocity, std::int32_t duration);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Note Properties"; }
    void Execute() override;
    void Undo() override;

private:
    struct Values {
        std::uint8_t velocity;
        std::uint8_t releaseVelocity;
        std::int32_t duration;
    };
    void Apply(const Values& from, const Values& to);

    MidiMsgNote note_;
    std::int32_t time_;
    // Where in its time point the note stood when last changed.
    long index_ = -1;
    Values old_;
    Values new_;
};
