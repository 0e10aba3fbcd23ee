#include <gtest/gtest.h>

#include <vector>

#include "playback/CueMixer.h"
#include "playback/MemoryWave.h"
#include "playback/SoundBuffer.h"

namespace {

SoundBuffer Ramp(int frames) {
    SoundBuffer sound;
    for (int i = 0; i < frames; ++i) {
        sound.samples.push_back(static_cast<float>(i + 1));
        sound.samples.push_back(-static_cast<float>(i + 1));
    }
    return sound;
}

} // namespace

TEST(CueMixer, SoundsStartAtTheirOffsetAndRunAcrossBlocks) {
    CueMixer mixer;
    const SoundBuffer sound = Ramp(100);
    mixer.Start(sound, 10);
    std::vector<float> left(64, 0.25f), right(64, 0.0f);
    mixer.Mix(left.data(), right.data(), 64);
    EXPECT_EQ(left[9], 0.25f); // added to what was there
    EXPECT_EQ(left[10], 1.25f);
    EXPECT_EQ(right[63], -54.0f);
    std::fill(left.begin(), left.end(), 0.0f);
    mixer.Mix(left.data(), right.data(), 64);
    EXPECT_EQ(left[0], 55.0f);
    EXPECT_EQ(left[45], 100.0f);
    EXPECT_EQ(left[46], 0.0f);
    EXPECT_FALSE(mixer.Playing());
}

TEST(CueMixer, WithEveryVoiceBusyTheOneNearestItsEndGivesWay) {
    CueMixer mixer;
    const SoundBuffer longSound = Ramp(1000);
    const SoundBuffer shortSound = Ramp(5);
    mixer.Start(shortSound, 0);
    for (int i = 1; i < CueMixer::kVoices; ++i)
        mixer.Start(longSound, 0);
    const SoundBuffer newcomer = Ramp(3);
    mixer.Start(newcomer, 0); // takes the short sound's voice
    std::vector<float> left(8, 0.0f), right(8, 0.0f);
    mixer.Mix(left.data(), right.data(), 8);
    EXPECT_EQ(left[3], 4.0f * (CueMixer::kVoices - 1)); // the newcomer ended after 3 frames
    mixer.StopAll();
    EXPECT_FALSE(mixer.Playing());
}

TEST(MemoryWave, OnlyBuffersStartingWithRiffAreWaves) {
    const std::uint8_t wave[] = {'R', 'I', 'F', 'F', 0, 0};
    const std::uint8_t other[] = {'R', 'I', 'F', 'X'};
    EXPECT_TRUE(IsRiffData(wave));
    EXPECT_FALSE(IsRiffData(other));
    EXPECT_FALSE(IsRiffData(std::span<const std::uint8_t>(wave, 3)));
    EXPECT_FALSE(IsRiffData({}));
}
