#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// A tempo change: a new one at a tick, or an existing entry given a new tick and tempo.
// Not undoable.
class MC_SetTempo : public CPCommand {
public:
    static constexpr long kNewEntry = -1;
    MC_SetTempo(Song& song, long index, std::int32_t tick, std::int32_t tempo);
    bool IsUndoable() const override { return false; }
    void Execute() override;

private:
    Song& song_;
    long index_;
    std::int32_t tick_;
    std::int32_t tempo_;
};
