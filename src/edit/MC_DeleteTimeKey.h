#pragma once

#include <cstddef>
#include <vector>

#include "edit/CPCommand.h"
#include "model/Song.h"

// Deletes a time and key signature change (never the first).
class MC_DeleteTimeKey : public CPCommand {
public:
    MC_DeleteTimeKey(Song& song, std::size_t index);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Delete Time/Key Signature"; }
    void Execute() override {
        before_ = song_.Signatures();
        song_.RemoveSignature(index_);
    }
    void Undo() override { song_.ReplaceSignatures(before_); }

private:
    Song& song_;
    std::size_t index_;
    std::vector<TimeAndKeySignature> before_;
};
