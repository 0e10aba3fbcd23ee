#include "playback/PlayerEngine.h"

#include <cstdlib>

#include "playback/CueHost.h"
#include "playback/LiveSynth.h"
#include "playback/MidiPorts.h"
#include "playback/NullSink.h"
#include "playback/PacedOutput.h"
#include "playback/RenderOutput.h"
#include "playback/SoundDecoder.h"
#include "playback/SoundFont.h"
#include "playback/SynthRenderer.h"
#include "util/INIFile.h"
#include "util/Messages.h"

#include <utility>

namespace {

// The "AudioDriver" setting: which of the synthesizer library's audio drivers to use
// ("alsa", "pulseaudio", "jack", "pipewire"...); empty for the usual choice; "none" plays
// in time without a sound (machines without a sound card, tests). $VORLAUNE_AUDIO_DRIVER
// overrides it.
AString AudioDriverSetting() {
    AString driver;
    if (const char* env = std::getenv("VORLAUNE_AUDIO_DRIVER"); env && *env)
        driver = env;
    else if (INIFile* ini = INIFile::Global())
        driver = ini->ReadValue("AudioDriver");
    driver.Trim();
    return driver;
}

bool Silent() {
    return AudioDriverSetting().str() == "none";
}

} // namespace

PlayerEngine::PlayerEngine() {
    // In the body: the warning member is made after the font member.
    soundFont_ = FindSoundFont(INIFile::Global(), &soundFontWarning_);
}

PlayerEngine::~PlayerEngine() {
    Halt();
}

void PlayerEngine::WarnAboutSoundFont() {
    if (!soundFontWarning_.IsEmpty())
        ShowMessage(kAppTitle, std::exchange(soundFontWarning_, AString()),
                    MessageIcon::Exclamation);
}

void PlayerEngine::WarmUpMidiDriver() {
    if (OutputDevice() != kBuiltInSynthesizer || !renderFile_.empty() || Silent())
        return;
    WarnAboutSoundFont();
    if (!synth_)
        synth_ = std::make_unique<LiveSynth>();
    AString error;
    if (!synth_->Open(soundFont_, AudioDriverSetting(), error))
        SetStatusText(error); // the first play reports it
}

bool PlayerEngine::SendLiveMidi(const std::uint8_t* bytes, int size) {
    if (!renderFile_.empty())
        return false;
    if (OutputDevice() == kBuiltInSynthesizer) {
        if (Silent())
            return true;
        AString error;
        if (!synth_)
            synth_ = std::make_unique<LiveSynth>();
        if (!synth_->IsOpen() && !synth_->Open(soundFont_, AudioDriverSetting(), error))
            return false;
        return synth_->SendLive(bytes, size);
    }
    if (!livePort_)
        livePort_ = std::make_unique<LivePort>();
    AString error;
    if (!livePort_->Open(OutputDevice(), error))
        return false;
    livePort_->Send(bytes, size);
    return true;
}

bool PlayerEngine::OpenThru(int lanes) {
    CloseThru();
    if (!renderFile_.empty() || lanes < 1)
        return false;
    AString error;
    if (OutputDevice() == kBuiltInSynthesizer) {
        if (Silent()) {
            thruTarget_.store(ThruTarget::Silence);
            return true;
        }
        if (!synth_)
            synth_ = std::make_unique<LiveSynth>();
        if (!synth_->IsOpen() && !synth_->Open(soundFont_, AudioDriverSetting(), error))
            return false;
        thruTarget_.store(ThruTarget::Synth);
        return true;
    }
    auto port = std::make_unique<LivePort>();
    if (!port->Open(OutputDevice(), error))
        return false;
    {
        std::lock_guard lock(thruMutex_);
        thruPort_ = std::move(port);
    }
    thruTarget_.store(ThruTarget::Port);
    return true;
}

bool PlayerEngine::SendThru(int lane, const std::uint8_t* bytes, int size) {
    switch (thruTarget_.load()) {
    case ThruTarget::Silence:
        return true;
    case ThruTarget::Synth:
        return synth_->SendThru(lane, bytes, size);
    case ThruTarget::Port: {
        std::lock_guard lock(thruMutex_);
        if (!thruPort_)
            return false;
        thruPort_->Send(bytes, size);
        return true;
    }
    case ThruTarget::None:
        break;
    }
    return false;
}

void PlayerEngine::CloseThru() {
    thruTarget_.store(ThruTarget::None);
    std::lock_guard lock(thruMutex_);
    thruPort_.reset();
}

std::unique_ptr<PlayOutput> PlayerEngine::CreateOutput(AString& error) {
    render_ = nullptr;
    if (!renderFile_.empty()) {
        WarnAboutSoundFont();
        auto renderer = std::make_unique<SynthRenderer>();
        if (!renderer->Load(soundFont_, error))
            return nullptr;
        auto output = std::make_unique<RenderOutput>(std::move(renderer), renderFile_);
        render_ = output.get();
        renderError_ = AString();
        renderedFrames_ = 0;
        return output;
    }
    if (OutputDevice() == kBuiltInSynthesizer && Silent()) {
        if (!silence_)
            silence_ = std::make_unique<NullSink>(0);
        return std::make_unique<PacedOutput>(*silence_);
    }
    if (OutputDevice() == kBuiltInSynthesizer) {
        WarnAboutSoundFont();
        if (!synth_)
            synth_ = std::make_unique<LiveSynth>();
        if (!synth_->Open(soundFont_, AudioDriverSetting(), error))
            return nullptr;
        return std::make_unique<LiveSynth::Output>(*synth_);
    }
    if (!cues_)
        cues_ = std::make_unique<CueHost>();
    AString cueError;
    cues_->Open(cueError, AudioDriverSetting()); // without it the cues are reported as they come
    return OpenPortOutput(OutputDevice(), cues_.get(), error);
}

void PlayerEngine::OutputStopped(PlayOutput& output) {
    if (&output != render_)
        return;
    renderError_ = render_->Error();
    renderedFrames_ = render_->Frames();
    render_ = nullptr;
}

std::shared_ptr<const SoundBuffer> PlayerEngine::LoadSound(const std::filesystem::path& file,
                                                           AString& error) {
    return DecodeSoundFile(file, SynthRenderer::kSampleRate, error);
}

void PlayerEngine::RetireSounds(Sounds sounds) {
    // Either output may have played them; each keeps its own hold.
    if (synth_)
        synth_->Retire(sounds);
    if (cues_)
        cues_->Retire(std::move(sounds));
}

void PlayerEngine::CollectSounds() {
    if (synth_)
        synth_->Collect();
    if (cues_)
        cues_->Collect();
}

std::size_t PlayerEngine::HeldSounds() const {
    return (synth_ ? synth_->HeldSounds() : 0) + (cues_ ? cues_->HeldSounds() : 0);
}
