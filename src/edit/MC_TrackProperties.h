#pragma once

#include <cstdint>
#include <vector>

#include "edit/CPCommand.h"
#include "model/Song.h"

// Channel and instrument of a track and of all its records.
class MC_TrackProperties : public CPCommand {
public:
    MC_TrackProperties(Song& song, std::uint16_t track, std::uint8_t channel, std::uint8_t program,
                       std::int32_t bank);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Track Properties"; }
    void Execute() override;
    void Undo() override;

private:
    struct Use {
        std::uint8_t channel;
        std::uint8_t program;
        std::int32_t bank;
    };

    Song& song_;
    std::uint16_t track_;
    std::uint8_t channel_;
    std::uint8_t program_;
    std::int32_t bank_;
    // The track's summary, then each of its records in song order.
    std::vector<Use> before_;
};
