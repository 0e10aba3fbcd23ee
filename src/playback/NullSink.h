#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "playback/MidiSink.h"

// A sink that plays nothing and remembers what it was given and when, for tests and
// timing measurements. Room is reserved up front; what does not fit is counted only.
class NullSink : public MidiSink {
public:
    struct Sent {
        std::int64_t due = 0;
        std::int64_t at = 0; // when it was handed over, on the same clock as `due`
        std::uint8_t size = 0;
        std::uint8_t bytes[3] = {};
        bool sound = false;
    };

    explicit NullSink(std::size_t capacity = 1 << 16) { sent_.reserve(capacity); }

    void PlayStarted(std::chrono::steady_clock::time_point origin) override { origin_ = origin; }
    void SendMidi(const std::uint8_t* bytes, int size, std::int64_t due) override;
    void StartSound(const SoundBuffer& sound, std::int64_t due) override;

    // Read only while nothing plays.
    const std::vector<Sent>& SentItems() const { return sent_; }
    std::size_t Dropped() const { return dropped_; }
    void Clear() {
        sent_.clear();
        dropped_ = 0;
    }

private:
    void Record(Sent sent);

    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
    std::vector<Sent> sent_;
    std::size_t dropped_ = 0;
};
