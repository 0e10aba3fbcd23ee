#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

// A ring of fixed size between exactly one producing and one consuming thread, without
// locks or allocation after construction. The counters run free and are masked on use,
// so a full ring and an empty one are told apart without a spare slot.
template <class T> class SpscRing {
public:
    // `capacity` is rounded up to a power of two (at least 2).
    explicit SpscRing(std::size_t capacity)
        : mask_(RoundUp(capacity) - 1), slots_(std::make_unique<T[]>(mask_ + 1)) {}
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t Capacity() const { return mask_ + 1; }
    // Items pushed and not yet popped (exact for either side's own view).
    std::size_t Size() const {
        return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
    }
    std::size_t Free() const { return Capacity() - Size(); }

    // Producer side. False when the ring is full.
    bool Push(const T& item) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) > mask_)
            return false;
        slots_[tail & mask_] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer side: the oldest item, null when none.
    const T* Peek() const {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire))
            return nullptr;
        return &slots_[head & mask_];
    }
    void Pop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head != tail_.load(std::memory_order_acquire))
            head_.store(head + 1, std::memory_order_release);
    }

    // Only while neither side is running.
    void Clear() {
        head_.store(0, std::memory_order_relaxed);
        tail_.store(0, std::memory_order_relaxed);
    }

private:
    static std::size_t RoundUp(std::size_t n) {
        std::size_t p = 2;
        while (p < n)
            p <<= 1;
        return p;
    }

    const std::size_t mask_;
    std::unique_ptr<T[]> slots_;
    alignas(64) std::atomic<std::size_t> head_{0}; // next to pop
    alignas(64) std::atomic<std::size_t> tail_{0}; // next to push
};
