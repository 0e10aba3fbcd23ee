#include "playback/CueHost.h"

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <thread>

CueHost::~CueHost() {
    device_.Close();
    if (settings_)
        delete_fluid_settings(settings_);
}

bool CueHost::Open(AString& error) {
    if (device_.IsOpen())
        return true;
    if (!settings_) {
        settings_ = new_fluid_settings();
        if (!settings_) {
            error = "No audio output could be prepared.";
            return false;
        }
        fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
    }
    mixer_.StopAll();
    read_.store(written_.load());
    return device_.Open(settings_, *this, error);
}

bool CueHost::Push(Command command) {
    const std::uint64_t w = written_.load(std::memory_order_relaxed);
    if (w - read_.load(std::memory_order_acquire) >= ring_.size())
        return false;
    ring_[w % ring_.size()] = command;
    written_.store(w + 1, std::memory_order_release);
    return true;
}

bool CueHost::Play(const SoundBuffer& sound) {
    return Push({&sound});
}

bool CueHost::StopAll() {
    return Push({nullptr});
}

void CueHost::Settle() {
    const std::uint64_t target = written_.load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    while (device_.IsOpen() && read_.load() < target && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!device_.IsOpen())
        read_.store(target);
}

void CueHost::Render(float* left, float* right, int frames) {
    std::uint64_t r = read_.load(std::memory_order_relaxed);
    const std::uint64_t w = written_.load(std::memory_order_acquire);
    for (; r < w; ++r) {
        const Command& command = ring_[r % ring_.size()];
        if (command.sound)
            mixer_.Start(*command.sound, 0);
        else
            mixer_.StopAll();
    }
    read_.store(r, std::memory_order_release);
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    mixer_.Mix(left, right, frames);
}
