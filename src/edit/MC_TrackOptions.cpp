#include "edit/MC_TrackOptions.h"

#include "model/Song.h"

MC_TrackOptions::MC_TrackOptions(Song& song, int track, const ViewOptions& options)
    : CPCommand(kCmdTrackOptions), song_(song), track_(track), options_(options) {}

void MC_TrackOptions::Execute() {
    old_.clear();
    for (std::size_t t = 0; t < song_.TrackCount(); ++t) {
        old_.push_back(song_.GetTrack(t)->options);
        if (track_ < 0 || static_cast<std::size_t>(track_) == t)
            song_.GetTrack(t)->options = options_;
    }
}

void MC_TrackOptions::Undo() {
    for (std::size_t t = 0; t < song_.TrackCount() && t < old_.size(); ++t)
        song_.GetTrack(t)->options = old_[t];
}
