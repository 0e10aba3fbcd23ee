#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "playback/PlayEvent.h"

// Single-producer, single-consumer ring of play events. The producer (the thread that
// feeds the player) pushes; the consumer (audio callback or timing thread) peeks and
// pops without locks or allocation.
class EventQueue {
public:
    // `capacity` is rounded up to a power of two.
    explicit EventQueue(std::size_t capacity);
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    std::size_t Capacity() const { return mask_ + 1; }
    // Events pushed and not yet popped (exact for either side's own view).
    std::size_t Size() const;
    std::size_t Free() const { return Capacity() - Size(); }

    // Producer side.
    bool Push(const PlayEvent& event);

    // Consumer side.
    const PlayEvent* Peek() const;
    void Pop();

    // Only while neither side is running.
    void Clear();

private:
    std::unique_ptr<PlayEvent[]> slots_;
    std::size_t mask_;
    alignas(64) std::atomic<std::size_t> head_{0}; // next to pop
    alignas(64) std::atomic<std::size_t> tail_{0}; // next to push
};
