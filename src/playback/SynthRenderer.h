#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "playback/CueMixer.h"
#include "playback/FluidPtr.h"
#include "playback/MidiSink.h"
#include "util/AString.h"

class PlayContext;

// The built-in synthesizer with the audio cues mixed in. The stream is applied in
// blocks of 64 frames: each event at the block boundary nearest its time (so never
// more than half a block off), each cue sound at its exact frame. Used by one thread
// at a time: the audio callback, or the offline render.
class SynthRenderer : public MidiSink {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kBlock = 64;

    SynthRenderer();
    ~SynthRenderer() override;
    SynthRenderer(const SynthRenderer&) = delete;
    SynthRenderer& operator=(const SynthRenderer&) = delete;

    // Creates the synthesizer and loads the SoundFont, in place of any loaded before.
    // False with `error` set, and no synthesizer then.
    bool Load(const std::filesystem::path& soundFont, AString& error);
    fluid_settings_t* Settings() const { return settings_.get(); }

    // A new play starts: the synthesizer returns to its initial state and the play's
    // clock to frame 0.
    void BeginPlay();
    // Writes `frames` frames, advancing the play of `context` (none: only what still
    // sounds).
    void Render(PlayContext* context, float* left, float* right, int frames);
    // Frames of the current play rendered so far.
    std::int64_t PlayFrames() const { return playFrame_; }

    void SendMidi(const std::uint8_t* bytes, int size, std::int64_t due) override;
    void StartSound(const SoundBuffer& sound, std::int64_t due) override;
    void StopSounds() override { mixer_.StopAll(); }

    static std::int64_t FramesToNs(std::int64_t frames);
    static std::int64_t NsToFrames(std::int64_t ns);

private:
    void RenderBlock(PlayContext* context);

    // The synthesizer before its settings, which it reads until it goes.
    FluidPtr<fluid_settings_t> settings_;
    FluidPtr<fluid_synth_t> synth_;
    CueMixer mixer_;
    std::array<float, kBlock> left_{};
    std::array<float, kBlock> right_{};
    int used_ = kBlock; // frames of the current block already handed out
    std::int64_t playFrame_ = 0;
    std::int64_t blockFrame_ = 0;
};
