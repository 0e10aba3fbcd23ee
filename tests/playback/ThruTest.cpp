// Thru while recording: MIDI input threads reach the built-in synthesizer through lanes
// of their own that the audio thread drains at each block, without anybody waiting.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "FakeAudioDevice.h"
#include "TestSounds.h"
#include "playback/LiveSynth.h"
#include "playback/PlayerEngine.h"

using namespace std::chrono_literals;

TEST(Thru, InputThreadsWritingTheirLanesAtOnceAllReachTheSynthesizer) {
    if (TestSoundFont().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    if (const char* driver = std::getenv("VORLAUNE_AUDIO_DRIVER"); driver && *driver)
        GTEST_SKIP() << "the audio driver is set to " << driver;
    FakeAudioDevice device;
    PlayerEngine engine;
    engine.SetSoundFont(TestSoundFont());
    ASSERT_TRUE(engine.OpenThru(2));
    LiveSynth* synth = engine.ThruSynth();
    ASSERT_NE(synth, nullptr);
    // Two inputs, each on its own lane, as fast as the lanes take them.
    constexpr int kEach = 3000;
    auto play = [&](int lane) {
        for (int i = 0; i < kEach;) {
            const std::uint8_t on[3] = {static_cast<std::uint8_t>(0x90 | lane),
                                        static_cast<std::uint8_t>(40 + i % 40),
                                        static_cast<std::uint8_t>(i % 2 ? 0 : 90)};
            if (engine.SendThru(lane, on, 3))
                ++i;
            else
                std::this_thread::yield();
        }
    };
    std::thread first(play, 0), second(play, 1);
    first.join();
    second.join();
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (synth->ThruApplied() < 2u * kEach && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(2ms);
    EXPECT_EQ(synth->ThruApplied(), 2u * kEach);
    // A note held through thru sounds.
    FakeAudioDevice::Lane* lane = device.Last();
    ASSERT_NE(lane, nullptr);
    const std::uint8_t held[3] = {0x90, 72, 110};
    const std::uint64_t from = lane->Done();
    ASSERT_TRUE(engine.SendThru(0, held, 3));
    EXPECT_TRUE(lane->WaitLouder(from, 0.001f, 2s));
    // No lane past the last, and none at all once thru is closed.
    const std::uint8_t note[3] = {0x90, 60, 90};
    EXPECT_FALSE(engine.SendThru(LiveSynth::kThruLanes, note, 3));
    engine.CloseThru();
    EXPECT_FALSE(engine.SendThru(0, note, 3));
    EXPECT_EQ(engine.ThruSynth(), nullptr);
}

TEST(Thru, RenderingToAFileTakesNoThru) {
    PlayerEngine engine;
    engine.SetRenderFile("/tmp/never-written.wav");
    EXPECT_FALSE(engine.OpenThru(1));
    const std::uint8_t note[3] = {0x90, 60, 90};
    EXPECT_FALSE(engine.SendThru(0, note, 3));
}
