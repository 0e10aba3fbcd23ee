#include "playback/CueMixer.h"

#include <algorithm>

#include "playback/SoundBuffer.h"

void CueMixer::Start(const SoundBuffer& sound, std::int64_t offset, std::uint64_t serial) {
    if (sound.Frames() == 0)
        return;
    Voice* chosen = nullptr;
    std::int64_t leastLeft = 0;
    for (Voice& voice : voices_) {
        if (!voice.sound) {
            chosen = &voice;
            break;
        }
        const std::int64_t left = voice.sound->Frames() - voice.position;
        if (!chosen || left < leastLeft) {
            chosen = &voice;
            leastLeft = left;
        }
    }
    chosen->sound = &sound;
    chosen->position = -std::max<std::int64_t>(offset, 0);
    chosen->serial = serial;
}

void CueMixer::Mix(float* left, float* right, int frames) {
    for (Voice& voice : voices_) {
        if (!voice.sound)
            continue;
        const std::int64_t total = voice.sound->Frames();
        const float* samples = voice.sound->samples.data();
        const int first = static_cast<int>(std::clamp<std::int64_t>(-voice.position, 0, frames));
        for (int i = first; i < frames; ++i) {
            const std::int64_t frame = voice.position + i;
            if (frame >= total)
                break;
            left[i] += samples[2 * frame];
            right[i] += samples[2 * frame + 1];
        }
        voice.position += frames;
        if (voice.position >= total)
            voice.sound = nullptr;
    }
}

void CueMixer::StopAll() {
    for (Voice& voice : voices_)
        voice.sound = nullptr;
}

void CueMixer::StopStartedBefore(std::uint64_t serial) {
    for (Voice& voice : voices_)
        if (voice.serial < serial)
            voice.sound = nullptr;
}

bool CueMixer::Playing() const {
    return std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.sound; });
}
