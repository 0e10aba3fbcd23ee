#pragma once

#include <vector>

#include "edit/CPCommand.h"
#include "model/ViewOptions.h"

class Song;

// New view settings for one track or every track: what the settings dialogs change is
// stored with the song, so it is a change of the song that can be undone.
class MC_TrackOptions : public CPCommand {
public:
    // `track` -1: every track.
    MC_TrackOptions(Song& song, int track, const ViewOptions& options);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "View Options"; }
    void Execute() override;
    void Undo() override;

private:
    Song& song_;
    int track_;
    ViewOptions options_;
    std::vector<ViewOptions> old_;
};
