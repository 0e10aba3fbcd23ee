#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "playback/SpscRing.h"

namespace {

// Two halves that must always travel together: a torn copy shows as a mismatch.
struct Pair {
    std::uint64_t value = 0;
    std::uint64_t check = ~0ull;
};

} // namespace

TEST(SpscRing, TellsFullFromEmptyAndKeepsOrderAcrossTheWrap) {
    SpscRing<int> ring(5);
    ASSERT_EQ(ring.Capacity(), 8u);
    EXPECT_EQ(ring.Peek(), nullptr);
    ring.Pop(); // nothing to pop: no effect
    EXPECT_EQ(ring.Size(), 0u);

    int next = 0, expected = 0;
    // Fill it, empty part of it, fill it again: the counters pass the capacity many times.
    for (int round = 0; round < 50; ++round) {
        while (ring.Push(next))
            ++next;
        ASSERT_EQ(ring.Size(), 8u);
        ASSERT_EQ(ring.Free(), 0u);
        for (int i = 0; i < 3; ++i) {
            const int* front = ring.Peek();
            ASSERT_NE(front, nullptr);
            ASSERT_EQ(*front, expected++);
            ring.Pop();
        }
        ASSERT_EQ(ring.Size(), 5u);
    }
    while (const int* front = ring.Peek()) {
        ASSERT_EQ(*front, expected++);
        ring.Pop();
    }
    EXPECT_EQ(expected, next);
    EXPECT_EQ(ring.Free(), 8u);

    ring.Push(1);
    ring.Clear();
    EXPECT_EQ(ring.Peek(), nullptr);
}

TEST(SpscRing, TwoThreadsPassEveryItemOnceInOrder) {
    constexpr std::uint64_t kItems = 20000;
    SpscRing<Pair> ring(8); // small, so that both sides keep meeting full and empty
    std::uint64_t fullMet = 0;
    std::thread producer([&] {
        for (std::uint64_t i = 0; i < kItems;) {
            if (ring.Push({i, ~i}))
                ++i;
            else
                ++fullMet;
        }
    });
    std::uint64_t expected = 0, bad = 0;
    while (expected < kItems) {
        const Pair* item = ring.Peek();
        if (!item) {
            std::this_thread::yield();
            continue;
        }
        bad += item->value != expected || item->check != ~expected;
        ring.Pop();
        ++expected;
    }
    producer.join();
    EXPECT_EQ(bad, 0u);
    EXPECT_EQ(ring.Size(), 0u);
    EXPECT_GT(fullMet, 0u) << "the producer never found the ring full";
}
