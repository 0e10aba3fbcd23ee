#pragma once

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Moves the notes of a range up or down by semitones, within 0 to 127.
class MC_Transpose : public MC_UndoableSongIter {
public:
    MC_Transpose(SongIter& viewIter, std::int32_t start, std::int32_t end, int semitones);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Transpose"; }
    void Execute() override;
    // Gives back the pitches as they were, also those the limits had stopped.
    void Undo() override;

private:
    std::int32_t start_;
    std::int32_t end_;
    int semitones_;
    SpanSnapshot before_;
};
