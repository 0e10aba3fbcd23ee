#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Binds a song to a device definition. Not undoable.
class MC_SongDeviceFile : public CPCommand {
public:
    MC_SongDeviceFile(Song& song, AString fileName);
    bool IsUndoable() const override { return false; }
    void Execute() override { song_.SetDeviceFile(fileName_); }

private:
    Song& song_;
    AString fileName_;
};
