#pragma once

#include <cstdint>

struct SoundBuffer;

// One timed item of the play stream, small and plain so that the real-time side can
// copy it without allocating.
struct PlayEvent {
    enum Type : std::uint8_t {
        kMidi,  // bytes[0..size) go to the output
        kTempo, // position anchor: from `tick` at `due` the tempo is `tempo`
        kSound, // starts `sound`
        kEnd,   // nothing follows
    };
    std::int64_t due = 0;  // nanoseconds after the start of the play
    std::int32_t tick = 0; // song tick, for the play position
    std::int32_t tempo = 0;
    const SoundBuffer* sound = nullptr;
    Type type = kMidi;
    std::uint8_t size = 0;
    std::uint8_t bytes[3] = {};
};
