#pragma once

#include <cstdint>
#include <vector>

// A decoded sound ready to mix: interleaved stereo floats at the output's sample rate.
struct SoundBuffer {
    std::vector<float> samples;
    int sampleRate = 44100;
    std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size() / 2); }
};
