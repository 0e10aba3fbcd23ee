#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Deletes a time and key signature change (never the first). Not undoable.
class MC_DeleteTimeKey : public CPCommand {
public:
    MC_DeleteTimeKey(Song& song, std::size_t index);
    bool IsUndoable() const override { return false; }
    void Execute() override { song_.RemoveSignature(index_); }

private:
    Song& song_;
    std::size_t index_;
};
