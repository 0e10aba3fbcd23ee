#include "record/SampleRing.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t PowerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 2;
    while (p < n)
        p <<= 1;
    return p;
}

} // namespace

SampleRing::SampleRing(std::size_t capacity)
    : mask_(PowerOfTwoAtLeast(capacity) - 1), slots_(std::make_unique<std::int16_t[]>(mask_ + 1)) {}

std::size_t SampleRing::Size() const {
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
}

std::size_t SampleRing::Write(const std::int16_t* samples, std::size_t count) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t room = Capacity() - (tail - head_.load(std::memory_order_acquire));
    const std::size_t n = std::min(count, room);
    const std::size_t at = tail & mask_;
    const std::size_t first = std::min(n, Capacity() - at);
    std::memcpy(slots_.get() + at, samples, first * sizeof(std::int16_t));
    std::memcpy(slots_.get(), samples + first, (n - first) * sizeof(std::int16_t));
    tail_.store(tail + n, std::memory_order_release);
    return n;
}

std::size_t SampleRing::Read(std::int16_t* out, std::size_t count) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, tail_.load(std::memory_order_acquire) - head);
    const std::size_t at = head & mask_;
    const std::size_t first = std::min(n, Capacity() - at);
    std::memcpy(out, slots_.get() + at, first * sizeof(std::int16_t));
    std::memcpy(out + first, slots_.get(), (n - first) * sizeof(std::int16_t));
    head_.store(head + n, std::memory_order_release);
    return n;
}
