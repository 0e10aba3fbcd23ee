#include "playback/EventQueue.h"

namespace {

std::size_t PowerOfTwo(std::size_t n) {
    std::size_t p = 2;
    while (p < n)
        p <<= 1;
    return p;
}

} // namespace

EventQueue::EventQueue(std::size_t capacity)
    : slots_(new PlayEvent[PowerOfTwo(capacity)]), mask_(PowerOfTwo(capacity) - 1) {}

std::size_t EventQueue::Size() const {
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
}

bool EventQueue::Push(const PlayEvent& event) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) > mask_)
        return false;
    slots_[tail & mask_] = event;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

const PlayEvent* EventQueue::Peek() const {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire))
        return nullptr;
    return &slots_[head & mask_];
}

void EventQueue::Pop() {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head != tail_.load(std::memory_order_acquire))
        head_.store(head + 1, std::memory_order_release);
}

void EventQueue::Clear() {
    head_.store(0, std::memory_order_relaxed);
    tail_.store(0, std::memory_order_relaxed);
}
