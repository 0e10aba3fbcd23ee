#include "playback/RetiredSounds.h"

#include <algorithm>

void RetiredSounds::Retire(std::uint64_t ticket, Sounds sounds, bool audioThreadRuns) {
    if (!sounds.empty())
        held_.emplace_back(ticket, std::move(sounds));
    // After the sounds are held: an audio thread that sees the ticket may drop them.
    if (ticket > requested_.load(std::memory_order_relaxed))
        requested_.store(ticket, std::memory_order_release);
    Collect(audioThreadRuns);
}

void RetiredSounds::Collect(bool audioThreadRuns) {
    if (!audioThreadRuns)
        done_.store(requested_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    // Acquire: the audio thread's last reads of a sound come before its free.
    const std::uint64_t done = done_.load(std::memory_order_acquire);
    std::erase_if(held_, [done](const auto& entry) { return entry.first <= done; });
}

std::size_t RetiredSounds::Held() const {
    std::size_t count = 0;
    for (const auto& entry : held_)
        count += entry.second.size();
    return count;
}
