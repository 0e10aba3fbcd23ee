#include "edit/MC_DeleteTrack.h"

MC_DeleteTrack::MC_DeleteTrack(Song& song, std::uint16_t track)
    : CPCommand(kCmdDeleteTrack), song_(song), track_(track) {}
