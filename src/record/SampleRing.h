#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// 16-bit samples from one writing thread (a capture callback) to one reading thread,
// copied in blocks, without locks or allocation after construction. What does not fit is
// refused, never waited for: the writer must not be held up.
class SampleRing {
public:
    // `capacity` is rounded up to a power of two.
    explicit SampleRing(std::size_t capacity);
    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    std::size_t Capacity() const { return mask_ + 1; }
    std::size_t Size() const;

    // Writer: as many of `count` samples as there is room for; returns how many.
    std::size_t Write(const std::int16_t* samples, std::size_t count);
    // Reader: up to `count` samples, oldest first; returns how many.
    std::size_t Read(std::int16_t* out, std::size_t count);

private:
    const std::size_t mask_;
    std::unique_ptr<std::int16_t[]> slots_;
    alignas(64) std::atomic<std::size_t> head_{0}; // next to read
    alignas(64) std::atomic<std::size_t> tail_{0}; // next to write
};
