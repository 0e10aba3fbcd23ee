#pragma once

#include <functional>

#include "edit/CPCommand.h"
#include "model/SongIter.h"

// Moves the cursor's current note alone by an amount; the cursor follows it. Not
// undoable. A move before time 0 beeps and changes nothing.
class MC_MoveMsg : public CPCommand {
public:
    MC_MoveMsg(SongIter& iter, std::int32_t amount, std::function<void()> beep = {});
    bool IsUndoable() const override { return false; }
    void Execute() override;

private:
    SongIter& iter_;
    std::int32_t amount_;
    std::function<void()> beep_;
};
