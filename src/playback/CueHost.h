#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "playback/AudioDevice.h"
#include "playback/CueMixer.h"

// An audio output that plays sounds only: the audio cues of a play on a MIDI port, and
// waves played from memory. One thread gives it commands, the audio thread carries
// them out.
class CueHost : public AudioSource {
public:
    static constexpr int kSampleRate = 44100;

    CueHost() = default;
    ~CueHost() override;
    CueHost(const CueHost&) = delete;
    CueHost& operator=(const CueHost&) = delete;

    bool Open(AString& error);
    bool IsOpen() const { return device_.IsOpen(); }

    // From the one commanding thread; false when the command ring is full.
    bool Play(const SoundBuffer& sound);
    bool StopAll();
    // Waits until the audio thread has carried out every command given so far (at most
    // a quarter of a second; at once when the output is closed).
    void Settle();

    void Render(float* left, float* right, int frames) override;

private:
    struct Command {
        const SoundBuffer* sound = nullptr; // null: stop all
    };
    bool Push(Command command);

    fluid_settings_t* settings_ = nullptr;
    AudioDevice device_;
    CueMixer mixer_;
    std::array<Command, 64> ring_{};
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> read_{0};
};
