#pragma once

#include <memory>

#include "edit/MC_UndoableSongIter.h"
#include "edit/SpanSnapshot.h"

// Base of the commands that rebuild the notes at one time (chord note, chord operations).
// The change saves the time point as it was; undo puts it back and makes the note that
// was current, current again.
class MC_SaveNotesBase : public MC_UndoableSongIter {
public:
    MC_SaveNotesBase(std::int32_t kind, SongIter& viewIter, std::uint8_t currentPitch,
                     std::int32_t time);
    bool IsUndoable() const override { return true; }
    void Undo() override;

protected:
    // Called by Execute before it changes the point.
    void SaveNotes();
    std::int32_t Time() const { return time_; }
    std::uint8_t SavedPitch() const { return savedPitch_; }
    // Puts the cursor on the note of `pitch` at the time, else on the time's first event.
    static void SelectPitch(SongIter& it, std::int32_t time, int pitch);

private:
    std::unique_ptr<SpanSnapshot> savedNotes_;
    std::uint8_t savedPitch_;
    std::int32_t time_;
};
