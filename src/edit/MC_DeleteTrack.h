#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "edit/CPCommand.h"
#include "model/Song.h"

// Deletes a track and its records; later tracks move down. Undo puts the track and each
// record back in its place within its time point.
class MC_DeleteTrack : public CPCommand {
public:
    MC_DeleteTrack(Song& song, std::uint16_t track);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Delete Track"; }
    void Execute() override;
    void Undo() override;
    std::uint16_t TrackNumber() const { return track_; }

private:
    struct Removed {
        std::int32_t tick;
        std::size_t index; // within its point, before the track went
        std::unique_ptr<MidiMsg> msg;
    };

    Song& song_;
    std::uint16_t track_;
    Track trackRecord_;
    std::vector<Removed> removed_; // in song order
};
