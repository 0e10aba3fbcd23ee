#pragma once

#include <vector>

#include "edit/CPCommand.h"
#include "model/Song.h"

// A time and key signature change at a measure; an existing entry may move to another
// measure. Numerator 255 keeps the time part, key -7 the key part.
class MC_SetTimeKeySig : public CPCommand {
public:
    static constexpr long kNewEntry = -1;
    MC_SetTimeKeySig(Song& song, long index, const TimeAndKeySignature& signature);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Time/Key Signature"; }
    void Execute() override;
    void Undo() override { song_.ReplaceSignatures(before_); }

private:
    Song& song_;
    long index_;
    TimeAndKeySignature signature_;
    std::vector<TimeAndKeySignature> before_;
};
