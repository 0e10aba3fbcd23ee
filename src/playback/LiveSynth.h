#pragma once

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>

#include "playback/AudioDevice.h"
#include "playback/PlayOutput.h"
#include "playback/RetiredSounds.h"
#include "playback/SpscRing.h"
#include "playback/SynthRenderer.h"

// The built-in synthesizer playing through the sound card. It stays open between
// plays, so that the last notes ring out and the next play starts at once; a play
// attaches to it through an Output.
class LiveSynth : public AudioSource {
public:
    // Lanes of thru from MIDI inputs while recording; inputs beyond them get no thru.
    static constexpr int kThruLanes = 16;

    LiveSynth();
    // The audio thread first: the sounds it reads go with the members.
    ~LiveSynth() override { device_.Close(); }

    // Loads the SoundFont and opens the audio output (`driver` as for AudioDevice).
    // False with `error` set.
    bool Open(const std::filesystem::path& soundFont, const AString& driver, AString& error);
    bool IsOpen() const { return device_.IsOpen(); }

    // Once no play is attached: ends the cue sounds still playing, at the audio thread's
    // next block, and keeps `sounds` alive until it has let go of them.
    void Retire(RetiredSounds::Sounds sounds);
    // Frees the retired sounds the audio thread has let go of.
    void Collect();
    std::size_t HeldSounds() const { return retired_.Held(); }

    // A play on this synthesizer.
    class Output : public PlayOutput {
    public:
        explicit Output(LiveSynth& synth) : synth_(synth) {}
        ~Output() override { Stop(); }
        bool Start(PlayContext& context, AString& error) override;
        void Wake() override {}
        void Stop() override;

    private:
        LiveSynth& synth_;
        bool attached_ = false;
    };

    // A message to play at the audio thread's next block, beside any play. From the
    // thread that owns the songs only; false when the output is closed or too many wait.
    bool SendLive(const std::uint8_t* bytes, int size);

    // A message from a MIDI input, played at the audio thread's next block. Each lane is
    // written by one input thread only; never waits; false when the lane is full or
    // there is no such lane.
    bool SendThru(int lane, const std::uint8_t* bytes, int size);
    // Thru messages the audio thread has played so far (latency measurements).
    std::uint64_t ThruApplied() const { return thruApplied_.load(std::memory_order_acquire); }

    void Render(float* left, float* right, int frames) override;

private:
    struct LiveMessage {
        std::uint8_t bytes[3] = {};
        std::uint8_t size = 0;
    };

    void Attach(PlayContext* context);
    void Detach();

    SynthRenderer renderer_;
    bool loaded_ = false;
    AudioDevice device_;
    std::atomic<PlayContext*> context_{nullptr};
    std::atomic<unsigned> generation_{0};
    unsigned seenGeneration_ = 0; // audio thread only
    std::atomic<int> rendering_{0};
    RetiredSounds retired_;
    SpscRing<LiveMessage> live_{256};
    std::array<std::unique_ptr<SpscRing<LiveMessage>>, kThruLanes> thru_;
    std::atomic<std::uint64_t> thruApplied_{0};
    std::uint64_t tickets_ = 0; // stops asked for
    std::uint64_t served_ = 0;  // the last stop carried out, audio thread only
};
