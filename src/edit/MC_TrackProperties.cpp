#include "edit/MC_TrackProperties.h"

MC_TrackProperties::MC_TrackProperties(Song& song, std::uint16_t track, std::uint8_t channel,
                                       std::uint8_t program, std::int32_t bank)
    : CPCommand(kCmdTrackProperties), song_(song), track_(track), channel_(channel),
      program_(program), bank_(bank) {}
