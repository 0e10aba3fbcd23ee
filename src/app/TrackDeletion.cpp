#include "app/TrackDeletion.h"

#include "edit/MC_DeleteTrack.h"
#include "model/Song.h"

Refusal TrackDeletion::Available(const Song& song) {
    if (song.TrackCount() < 2)
        return Refusal(kTooFew, MessageIcon::Exclamation);
    return {};
}

AString TrackDeletion::Question(std::size_t track) {
    return AString("Are you sure you want to delete track #") +
           AString::FromInt(static_cast<long>(track) + 1);
}

Refusal TrackDeletion::Make(Song& song, std::size_t track, std::unique_ptr<CPCommand>& command) {
    command.reset();
    if (Refusal r = Available(song))
        return r;
    if (track >= song.TrackCount())
        return AString("There is no track #") + AString::FromInt(static_cast<long>(track) + 1) +
               ".";
    command = std::make_unique<MC_DeleteTrack>(song, static_cast<std::uint16_t>(track));
    return {};
}
