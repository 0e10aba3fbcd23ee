#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

#include "playback/StreamPlayer.h"

class CueHost;
class LivePort;
class LiveSynth;
class NullSink;
class RenderOutput;

// The player the program uses. Output device -1 is the built-in synthesizer through the
// sound card, 0 and up the MIDI output ports; while a render file is set, plays are
// rendered into that WAV file instead, as fast as the machine allows.
class PlayerEngine : public StreamPlayer {
public:
    PlayerEngine();
    ~PlayerEngine() override;

    // The SoundFont of the built-in synthesizer; by default the "SoundFont" setting or
    // the system's General MIDI font (with a warning, the first time the synthesizer is
    // wanted, when the setting names no SoundFont).
    void SetSoundFont(const std::filesystem::path& soundFont) {
        soundFont_ = soundFont;
        soundFontWarning_ = AString();
    }
    const std::filesystem::path& SoundFont() const { return soundFont_; }

    // Non-empty: the next plays render into `file`.
    void SetRenderFile(const std::filesystem::path& file) { renderFile_ = file; }
    // After a render has stopped: empty when the file was written, else why not.
    AString RenderError() const { return renderError_; }
    std::int64_t RenderedFrames() const { return renderedFrames_; }

    void WarmUpMidiDriver() override;
    bool SendLiveMidi(const std::uint8_t* bytes, int size) override;
    // Thru goes to the built-in synthesizer's lanes, or to a port of its own guarded
    // against the other inputs (never against the player, which has its own port).
    bool OpenThru(int lanes) override;
    bool SendThru(int lane, const std::uint8_t* bytes, int size) override;
    void CloseThru() override;
    // The synthesizer that plays thru, null unless it is the output (measurements).
    LiveSynth* ThruSynth() const {
        return thruTarget_.load() == ThruTarget::Synth ? synth_.get() : nullptr;
    }
    // Cue sounds the audio outputs still keep for their audio threads.
    std::size_t HeldSounds() const;

protected:
    std::unique_ptr<PlayOutput> CreateOutput(AString& error) override;
    void OutputStopped(PlayOutput& output) override;
    std::shared_ptr<const SoundBuffer> LoadSound(const std::filesystem::path& file,
                                                 AString& error) override;
    void RetireSounds(Sounds sounds) override;
    void CollectSounds() override;

private:
    void WarnAboutSoundFont();

    std::filesystem::path soundFont_;
    AString soundFontWarning_;
    std::filesystem::path renderFile_;
    std::unique_ptr<LiveSynth> synth_;
    std::unique_ptr<CueHost> cues_;
    std::unique_ptr<NullSink> silence_; // the output of the "none" audio driver
    std::unique_ptr<LivePort> livePort_;
    enum class ThruTarget { None, Silence, Synth, Port };
    std::atomic<ThruTarget> thruTarget_{ThruTarget::None};
    std::mutex thruMutex_;
    std::unique_ptr<LivePort> thruPort_;
    RenderOutput* render_ = nullptr; // the current play's, when it renders
    AString renderError_;
    std::int64_t renderedFrames_ = 0;
};
