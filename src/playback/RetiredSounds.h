#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "playback/SoundBuffer.h"

// Cue sounds that an audio thread may still be reading, kept alive on the thread that
// commands it until the audio thread has carried out the stop that ends them: nothing
// is ever freed on the audio thread, and it never waits for the other side.
//
// The commanding thread retires sounds under a ticket (tickets never go down) and
// collects now and then; the audio thread, at the start of a block, sees the latest
// ticket asked for, stops what it ends and acknowledges it.
class RetiredSounds {
public:
    using Sounds = std::vector<std::shared_ptr<const SoundBuffer>>;

    RetiredSounds() = default;
    RetiredSounds(const RetiredSounds&) = delete;
    RetiredSounds& operator=(const RetiredSounds&) = delete;

    // Commanding thread: `sounds` live on until `ticket` is acknowledged. Collects too.
    void Retire(std::uint64_t ticket, Sounds sounds, bool audioThreadRuns);
    // Commanding thread: frees what the audio thread has let go of; everything when no
    // audio thread runs.
    void Collect(bool audioThreadRuns);
    // Commanding thread: sounds still held.
    std::size_t Held() const;

    // Audio thread: the latest ticket asked for.
    std::uint64_t Requested() const { return requested_.load(std::memory_order_acquire); }
    // Audio thread: nothing retired under `ticket` or before is read any more.
    void Acknowledge(std::uint64_t ticket) { done_.store(ticket, std::memory_order_release); }

private:
    std::vector<std::pair<std::uint64_t, Sounds>> held_;
    std::atomic<std::uint64_t> requested_{0};
    std::atomic<std::uint64_t> done_{0};
};
