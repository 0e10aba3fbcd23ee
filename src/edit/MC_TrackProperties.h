#pragma once

#include "edit/CPCommand.h"
#include "model/Song.h"

// Channel and instrument of a track and of all its records. Not undoable.
class MC_TrackProperties : public CPCommand {
public:
    MC_TrackProperties(Song& song, std::uint16_t track, std::uint8_t channel, std::uint8_t program,
                       std::int32_t bank);
    bool IsUndoable() const override { return false; }
    void Execute() override { song_.SetTrackProperties(track_, channel_, program_, bank_); }

private:
    Song& song_;
    std::uint16_t track_;
    std::uint8_t channel_;
    std::uint8_t program_;
    std::int32_t bank_;
};
