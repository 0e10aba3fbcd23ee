#include "playback/SynthRenderer.h"

#include <fluidsynth.h>

#include <algorithm>

#include "playback/AudioDevice.h"
#include "playback/PlayOutput.h"
#include "playback/Sequencer.h"

namespace {
constexpr std::int64_t kNsPerSecond = 1000000000;
}

SynthRenderer::SynthRenderer() = default;

SynthRenderer::~SynthRenderer() = default;

bool SynthRenderer::Load(const std::filesystem::path& soundFont, AString& error) {
    AudioDevice::QuietLibraryLog();
    synth_.reset();
    settings_.reset();
    if (soundFont.empty()) {
        error = "The built-in synthesizer has no SoundFont: install the package "
                "fluid-soundfont-gm, or name a SoundFont file under \"SoundFont\" in "
                "VORLAUNE.INI.";
        return false;
    }
    FluidPtr<fluid_settings_t> settings(new_fluid_settings());
    if (!settings) {
        error = "The built-in synthesizer could not be created.";
        return false;
    }
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
    // Only one thread ever drives the synthesizer; its own lock is not needed.
    fluid_settings_setint(settings.get(), "synth.threadsafe-api", 0);
    fluid_settings_setint(settings.get(), "audio.period-size", kBlock);
    FluidPtr<fluid_synth_t> synth(new_fluid_synth(settings.get()));
    if (!synth) {
        error = "The built-in synthesizer could not be created.";
        return false;
    }
    if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        const AString why = AudioDevice::LastLibraryError();
        error = "The built-in synthesizer cannot load the SoundFont " +
                AString(soundFont.string()) + (why.IsEmpty() ? AString(".") : " (" + why + ").");
        return false;
    }
    settings_ = std::move(settings);
    synth_ = std::move(synth);
    return true;
}

std::int64_t SynthRenderer::FramesToNs(std::int64_t frames) {
    return frames / kSampleRate * kNsPerSecond + frames % kSampleRate * kNsPerSecond / kSampleRate;
}

std::int64_t SynthRenderer::NsToFrames(std::int64_t ns) {
    return ns / kNsPerSecond * kSampleRate +
           (ns % kNsPerSecond * kSampleRate + kNsPerSecond / 2) / kNsPerSecond;
}

void SynthRenderer::BeginPlay() {
    if (synth_)
        fluid_synth_system_reset(synth_.get());
    mixer_.StopAll();
    playFrame_ = 0;
    blockFrame_ = 0;
    used_ = kBlock;
}

void SynthRenderer::Render(PlayContext* context, float* left, float* right, int frames) {
    int done = 0;
    while (done < frames) {
        if (used_ == kBlock) {
            RenderBlock(context);
            used_ = 0;
        }
        const int n = std::min(kBlock - used_, frames - done);
        std::copy_n(left_.begin() + used_, n, left + done);
        std::copy_n(right_.begin() + used_, n, right + done);
        used_ += n;
        done += n;
    }
}

void SynthRenderer::RenderBlock(PlayContext* context) {
    blockFrame_ = playFrame_;
    if (context) {
        Sequencer& seq = context->Seq();
        if (!seq.Ended()) {
            if (context->StopRequested()) {
                seq.Silence(*this, FramesToNs(blockFrame_));
                context->Notify();
            } else {
                // Everything due before the middle of this block starts with it.
                seq.Advance(FramesToNs(blockFrame_ + kBlock / 2) - 1, *this);
                if (seq.Ended())
                    context->Notify();
            }
        }
    }
    if (synth_) {
        fluid_synth_write_float(synth_.get(), kBlock, left_.data(), 0, 1, right_.data(), 0, 1);
    } else {
        left_.fill(0.0f);
        right_.fill(0.0f);
    }
    mixer_.Mix(left_.data(), right_.data(), kBlock);
    playFrame_ += kBlock;
}

void SynthRenderer::SendMidi(const std::uint8_t* bytes, int size, std::int64_t /*due*/) {
    if (!synth_ || size < 1)
        return;
    const int channel = bytes[0] & 0x0F;
    const int a = size > 1 ? bytes[1] & 0x7F : 0;
    const int b = size > 2 ? bytes[2] & 0x7F : 0;
    switch (bytes[0] & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth_.get(), channel, a);
        break;
    case 0x90:
        if (b > 0)
            fluid_synth_noteon(synth_.get(), channel, a, b);
        else
            fluid_synth_noteoff(synth_.get(), channel, a);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth_.get(), channel, a, b);
        break;
    case 0xB0:
        fluid_synth_cc(synth_.get(), channel, a, b);
        break;
    case 0xC0:
        fluid_synth_program_change(synth_.get(), channel, a);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth_.get(), channel, a);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth_.get(), channel, a | (b << 7));
        break;
    default:
        break;
    }
}

void SynthRenderer::StartSound(const SoundBuffer& sound, std::int64_t due) {
    mixer_.Start(sound, std::max<std::int64_t>(NsToFrames(due) - blockFrame_, 0));
}
