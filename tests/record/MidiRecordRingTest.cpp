// The ring between a port's thread and the reader, and the recorder over ports that play
// on threads of their own: nothing lost, nothing out of order, nobody waiting. This file
// also runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "record/MidiRecordRing.h"
#include "record/MidiRecorder.h"
#include "record/ScriptedMidiInput.h"

namespace {

MidiRecordEntry Msg(std::uint8_t status, std::uint8_t d1, std::uint8_t d2, std::uint32_t ms) {
    return MidiRecordEntry{status, d1, d2, ms};
}

ScriptedMidiPort Counting(const std::string& name, std::uint32_t count, std::uint8_t status) {
    ScriptedMidiPort port;
    port.info = {name, 1, 0};
    for (std::uint32_t i = 0; i < count; ++i) {
        TimedMidiMessage m;
        m.ms = i;
        m.bytes[0] = status;
        m.bytes[1] = static_cast<std::uint8_t>(i & 0x7F);
        m.bytes[2] = static_cast<std::uint8_t>((i >> 7) & 0x7F);
        m.size = 3;
        port.messages.push_back(m);
    }
    return port;
}

} // namespace

TEST(MidiRecordRing, AFullRingRefusesAndKeepsTheFirstLossAsItsError) {
    auto ring = std::make_unique<MidiRecordRing>();
    EXPECT_FALSE(ring->Received());
    std::size_t stored = 0;
    for (std::uint32_t i = 0; i < 10000; ++i)
        stored += ring->Write(Msg(0x90, 60, 100, i));
    EXPECT_EQ(stored, MidiRecordRing::kEntries);
    EXPECT_EQ(ring->Lost(), 10000 - stored);
    EXPECT_EQ(ring->ErrorStatus(), MidiRecordRing::kTooFast);
    EXPECT_EQ(ring->ErrorTime(), stored); // the first message that did not fit
    EXPECT_EQ(ring->ErrorMessage(), 0x90u | 60u << 8 | 100u << 16);
    ring->SetError(MidiRecordRing::kDriverError, 1, 2); // a later error does not hide it
    EXPECT_EQ(ring->ErrorStatus(), MidiRecordRing::kTooFast);
    MidiRecordEntry e;
    for (std::uint32_t i = 0; i < stored; ++i) {
        ASSERT_TRUE(ring->Read(e));
        ASSERT_EQ(e.time, i);
    }
    EXPECT_FALSE(ring->Read(e));
    EXPECT_TRUE(ring->Received());
}

// A writer at full speed and a reader on another thread: every message arrives once, in
// order, across many wraps of the ring.
TEST(MidiRecordRing, AWriterAtFullSpeedLosesNothingWhileTheReaderKeepsUp) {
    auto ring = std::make_unique<MidiRecordRing>();
    constexpr std::uint32_t kCount = 300000;
    std::thread writer([&] {
        for (std::uint32_t i = 0; i < kCount;)
            if (ring->Write(Msg(0xB0, 7, static_cast<std::uint8_t>(i & 0x7F), i)))
                ++i;
            else
                std::this_thread::yield();
    });
    std::uint32_t next = 0;
    MidiRecordEntry e;
    while (next < kCount) {
        if (!ring->Read(e)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(e.time, next);
        ASSERT_EQ(e.data2, next & 0x7F);
        ++next;
    }
    writer.join();
    EXPECT_FALSE(ring->Read(e));
}

// Two ports writing as fast as they can while the reader drains: every message of each
// port arrives once and in order. Each port sends fewer than a ring holds, so a slow
// reader may not lose any either.
TEST(MidiRecorderThreads, PortsAtFullSpeedArriveWholeAndInOrder) {
    constexpr std::uint32_t kCount = 7000;
    std::vector<ScriptedMidiPort> ports;
    ports.push_back(Counting("A", kCount, 0x90));
    ports.push_back(Counting("B", kCount, 0xB3));
    ScriptedMidiInput input(std::move(ports), 0);
    MidiRecorder recorder(input, nullptr);
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    std::uint32_t next[2] = {0, 0};
    MidiRecorderMessage m;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((next[0] < kCount || next[1] < kCount) && std::chrono::steady_clock::now() < give_up) {
        if (!recorder.ReadMessage(m)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_LT(m.device, 2u);
        ASSERT_EQ(m.entry.time, next[m.device]);
        ASSERT_EQ(m.entry.data1, next[m.device] & 0x7F);
        ASSERT_EQ(m.entry.status, m.device == 0 ? 0x90 : 0xB3);
        ++next[m.device];
    }
    EXPECT_EQ(next[0], kCount);
    EXPECT_EQ(next[1], kCount);
    EXPECT_TRUE(input.Finished());
    EXPECT_TRUE(recorder.Stop(report));
    EXPECT_FALSE(recorder.ReadMessage(m));
}

// In real time the messages come when they are due; faster, sooner; either way with the
// times of the script.
TEST(MidiRecorderThreads, AScriptedPortKeepsItsTimesAtAnySpeed) {
    for (double speed : {1.0, 4.0}) {
        std::vector<ScriptedMidiPort> ports;
        ports.push_back(Counting("A", 3, 0x90));
        for (std::uint32_t i = 0; i < 3; ++i)
            ports[0].messages[i].ms = i * 60;
        ScriptedMidiInput input(std::move(ports), speed);
        MidiRecorder recorder(input, nullptr);
        std::optional<MidiDeviceReport> report;
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder.Start(report));
        EXPECT_FALSE(input.Finished());
        ASSERT_TRUE(input.WaitFinished(std::chrono::seconds(5)));
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, std::chrono::milliseconds(static_cast<int>(120 / speed) - 2)) << speed;
        recorder.Stop(report);
        std::vector<std::uint32_t> times;
        MidiRecorderMessage m;
        while (recorder.ReadMessage(m))
            times.push_back(m.entry.time);
        EXPECT_EQ(times, (std::vector<std::uint32_t>{0, 60, 120}));
    }
}

// Stopping while a port still plays ends its thread at once.
TEST(MidiRecorderThreads, StopEndsAPortThatIsStillPlaying) {
    std::vector<ScriptedMidiPort> ports;
    ports.push_back(Counting("A", 2, 0x90));
    ports[0].messages[1].ms = 60000;
    ScriptedMidiInput input(std::move(ports), 1.0);
    MidiRecorder recorder(input, nullptr);
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(recorder.Stop(report));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(input.Finished());
}
