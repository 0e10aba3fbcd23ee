#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Deletes a track and its records; later tracks move down. Not undoable.
class MC_DeleteTrack : public CPCommand {
public:
    MC_DeleteTrack(Song& song, std::uint16_t track);
    bool IsUndoable() const override { return false; }
    void Execute() override { song_.DeleteTrack(track_); }

private:
    Song& song_;
    std::uint16_t track_;
};
