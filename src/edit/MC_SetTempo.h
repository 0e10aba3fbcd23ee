#pragma once

#include <cstdint>
#include <vector>

#include "edit/CPCommand.h"
#include "model/Song.h"

// A tempo change: a new one at a tick, or an existing entry given a new tick and tempo.
// Moving an entry may take the later entries along by the same number of ticks.
class MC_SetTempo : public CPCommand {
public:
    static constexpr long kNewEntry = -1;
    MC_SetTempo(Song& song, long index, std::int32_t tick, std::int32_t tempo,
                bool moveLater = false);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Tempo Change"; }
    void Execute() override;
    void Undo() override { song_.ReplaceTempos(before_); }

private:
    Song& song_;
    long index_;
    std::int32_t tick_;
    std::int32_t tempo_;
    bool moveLater_;
    std::vector<SongTempo> before_;
};
