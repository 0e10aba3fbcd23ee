#include "playback/CueHost.h"

#include <fluidsynth.h>

#include <algorithm>

CueHost::~CueHost() {
    // The audio thread first: the sounds it reads go with the members.
    device_.Close();
}

bool CueHost::Open(AString& error, const AString& driver) {
    if (device_.IsOpen())
        return true;
    if (!settings_) {
        settings_.reset(new_fluid_settings());
        if (!settings_) {
            error = "No audio output could be prepared.";
            return false;
        }
        fluid_settings_setnum(settings_.get(), "synth.sample-rate", kSampleRate);
    }
    // Nothing was heard while closed: what was asked for meanwhile is dropped.
    mixer_.StopAll();
    ring_.Clear();
    retired_.Collect(false);
    return device_.Open(settings_.get(), *this, error, driver);
}

bool CueHost::Push(const SoundBuffer* sound) {
    const std::uint64_t serial = serial_.load(std::memory_order_relaxed);
    if (!ring_.Push({sound, serial}))
        return false;
    serial_.store(serial + 1, std::memory_order_relaxed);
    return true;
}

bool CueHost::Play(const SoundBuffer& sound) {
    return Push(&sound);
}

bool CueHost::StopAll() {
    return Push(nullptr);
}

void CueHost::Retire(RetiredSounds::Sounds sounds) {
    // Every command given so far is ended by this ticket, those still in the ring too.
    retired_.Retire(serial_.load(std::memory_order_relaxed), std::move(sounds), IsOpen());
}

void CueHost::Collect() {
    retired_.Collect(IsOpen());
}

void CueHost::Render(float* left, float* right, int frames) {
    const std::uint64_t stop = retired_.Requested();
    while (const Command* command = ring_.Peek()) {
        // What was asked for before the latest stop never starts.
        if (command->serial >= stop) {
            if (command->sound)
                mixer_.Start(*command->sound, 0, command->serial);
            else
                mixer_.StopStartedBefore(command->serial);
        }
        ring_.Pop();
    }
    if (stop != served_) {
        mixer_.StopStartedBefore(stop);
        retired_.Acknowledge(stop);
        served_ = stop;
    }
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    mixer_.Mix(left, right, frames);
}
