#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "TestSounds.h"
#include "playback/SoundDecoder.h"
#include "support/TempDir.h"

namespace {

constexpr int kRate = 44100;

} // namespace

TEST(SoundDecoder, OnlyOrdinaryFilesAreReadAndNothingWaitsForAWriter) {
    TempDir dir;
    AString error;
    EXPECT_EQ(DecodeSoundFile("/dev/zero", kRate, error), nullptr);
    EXPECT_EQ(error, "/dev/zero is not an ordinary file.");
    EXPECT_EQ(DecodeSoundFile(dir.Path(), kRate, error), nullptr);
    EXPECT_EQ(error, AString(dir.Path().string()) + " is not an ordinary file.");
    EXPECT_EQ(DecodeSoundFile(dir / "none.wav", kRate, error), nullptr);
    EXPECT_EQ(error, "The file " + AString((dir / "none.wav").string()) + " does not exist.");

    // Were the pipe opened for reading, the call would wait for a writer: after a while
    // one comes and ends the wait, and the test fails instead of hanging.
    const std::filesystem::path pipe = dir / "pipe.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> done{false};
    bool rescued = false;
    std::thread guard([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (done)
            return;
        const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        rescued = writer >= 0;
        if (writer >= 0)
            close(writer);
    });
    EXPECT_EQ(DecodeSoundFile(pipe, kRate, error), nullptr);
    done = true;
    guard.join();
    EXPECT_FALSE(rescued) << "reading the pipe waited for a writer";
    EXPECT_EQ(error, AString(pipe.string()) + " is not an ordinary file.");
}

TEST(SoundDecoder, AbsurdRatesAndSoundsOverAnHourAreRefusedBeforeDecoding) {
    TempDir dir;
    AString error;
    // 3.6 KB at one frame a second: an hour of sound at the output rate.
    const auto slow = dir.Write("slow.wav", WaveBytes(1, 1, 1800, 10000, 8));
    EXPECT_EQ(DecodeSoundFile(slow, kRate, error), nullptr);
    EXPECT_EQ(error, "The sound's sample rate (1 Hz) is not one that can be played: it must "
                     "lie between 1000 and 768000 Hz.");
    const auto fast = dir.Write("fast.wav", WaveBytes(1000000, 1, 10, 10000));
    EXPECT_EQ(DecodeSoundFile(fast, kRate, error), nullptr);

    // A second over the hour, in 3.6 MB.
    const auto longer = dir.Write("long.wav", WaveBytes(1000, 1, 1800500, 10000, 8));
    EXPECT_EQ(DecodeSoundFile(longer, kRate, error), nullptr);
    EXPECT_EQ(error, "The sound is longer than an hour.");

    // An ordinary one is brought to the output rate, its length kept.
    const auto mono = dir.Write("mono.wav", WaveBytes(22050, 1, 2205, 16384));
    auto sound = DecodeSoundFile(mono, kRate, error);
    ASSERT_NE(sound, nullptr) << error.str();
    EXPECT_EQ(sound->Frames(), 2 * 4410);
    EXPECT_FLOAT_EQ(sound->samples[100], 0.5f);
    EXPECT_FLOAT_EQ(sound->samples[101], 0.5f);

    const auto text = dir.Write("notes.txt", "not a sound at all");
    EXPECT_EQ(DecodeSoundFile(text, kRate, error), nullptr);
    EXPECT_TRUE(error.StartsWith("The file " + AString(text.string()) +
                                 " is not a sound file that can be read ("))
        << error.str();
}
