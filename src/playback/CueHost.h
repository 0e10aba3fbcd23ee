#pragma once

#include <atomic>
#include <cstdint>

#include "playback/AudioDevice.h"
#include "playback/CueMixer.h"
#include "playback/FluidPtr.h"
#include "playback/RetiredSounds.h"
#include "playback/SpscRing.h"

// An audio output that plays sounds only: the audio cues of a play on a MIDI port, and
// waves played from memory. One thread at a time gives it commands (the play's timing
// thread, then the user-interface thread once that has ended), the audio thread carries
// them out.
class CueHost : public AudioSource {
public:
    static constexpr int kSampleRate = 44100;

    CueHost() = default;
    ~CueHost() override;
    CueHost(const CueHost&) = delete;
    CueHost& operator=(const CueHost&) = delete;

    // `driver` as for AudioDevice.
    bool Open(AString& error, const AString& driver = AString());
    bool IsOpen() const { return device_.IsOpen(); }

    // Starts `sound`, which must stay alive until retired (below). False when the
    // command ring is full.
    bool Play(const SoundBuffer& sound);
    // Ends the sounds started so far; false when the command ring is full.
    bool StopAll();
    // Ends the sounds started so far, whatever the ring holds, and keeps `sounds` alive
    // until the audio thread has let go of them.
    void Retire(RetiredSounds::Sounds sounds);
    // Frees the retired sounds the audio thread has let go of.
    void Collect();
    std::size_t HeldSounds() const { return retired_.Held(); }

    void Render(float* left, float* right, int frames) override;

private:
    struct Command {
        const SoundBuffer* sound = nullptr; // null: stop what was started before
        std::uint64_t serial = 0;
    };
    bool Push(const SoundBuffer* sound);

    FluidPtr<fluid_settings_t> settings_;
    AudioDevice device_;
    CueMixer mixer_;
    SpscRing<Command> ring_{64};
    std::atomic<std::uint64_t> serial_{0}; // commands given so far
    RetiredSounds retired_;
    std::uint64_t served_ = 0; // the last stop carried out, audio thread only
};
