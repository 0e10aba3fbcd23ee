#pragma once

#include <array>
#include <cstdint>

struct SoundBuffer;

// Mixes audio-cue sounds into an output block on the audio thread: a fixed set of
// voices, no allocation.
class CueMixer {
public:
    static constexpr int kVoices = 32;

    // Starts `sound` `offset` frames into the next block mixed, under `serial` (the
    // caller's count of what it started). With every voice busy, the one nearest its end
    // gives way. The sound must outlive the voice: until it ends or is stopped.
    void Start(const SoundBuffer& sound, std::int64_t offset, std::uint64_t serial = 0);
    // Adds the playing sounds into `left` and `right`.
    void Mix(float* left, float* right, int frames);
    void StopAll();
    // Stops the sounds started under a serial below `serial`.
    void StopStartedBefore(std::uint64_t serial);
    bool Playing() const;

private:
    struct Voice {
        const SoundBuffer* sound = nullptr;
        std::int64_t position = 0; // frame of the sound at the block's start; negative = not yet
        std::uint64_t serial = 0;
    };
    std::array<Voice, kVoices> voices_{};
};
