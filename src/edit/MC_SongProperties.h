#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Title, author, copyright, instructions and resolution of a song. Not undoable.
class MC_SongProperties : public CPCommand {
public:
    MC_SongProperties(Song& song, AString title, AString author, AString copyright,
                      AString instructions, std::int32_t ticksPerQuarter);
    bool IsUndoable() const override { return false; }
    void Execute() override;

private:
    Song& song_;
    AString title_, author_, copyright_, instructions_;
    std::int32_t ticksPerQuarter_;
};
