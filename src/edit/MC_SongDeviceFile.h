#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Binds a song to a device definition; undo binds the one it had before.
class MC_SongDeviceFile : public CPCommand {
public:
    MC_SongDeviceFile(Song& song, AString fileName);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Device Type"; }
    void Execute() override;
    void Undo() override { song_.SetDeviceFile(oldFileName_); }

private:
    Song& song_;
    AString fileName_;
    AString oldFileName_;
};
