#pragma once

#include <array>
#include <cstdint>

struct SoundBuffer;

// Mixes audio-cue sounds into an output block on the audio thread: a fixed set of
// voices, no allocation.
class CueMixer {
public:
    static constexpr int kVoices = 32;

    // Starts `sound` `offset` frames into the next block mixed. With every voice busy,
    // the one nearest its end gives way.
    void Start(const SoundBuffer& sound, std::int64_t offset);
    // Adds the playing sounds into `left` and `right`.
    void Mix(float* left, float* right, int frames);
    void StopAll();
    bool Playing() const;

private:
    struct Voice {
        const SoundBuffer* sound = nullptr;
        std::int64_t position = 0; // frame of the sound at the block's start; negative = not yet
    };
    std::array<Voice, kVoices> voices_{};
};
