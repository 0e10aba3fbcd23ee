#pragma once

#include <cstdint>

#include "model/MidiMsg.h"
#include "model/ViewOptions.h"

// Properties of one track; its events live in the song's time points.
struct Track {
    std::uint8_t channel = kNoChannel; // 255: mixed or none
    std::uint8_t program = kNoProgram; // 255: mixed or none
    std::int32_t bank = kNoBank;
    ViewOptions options;
};
