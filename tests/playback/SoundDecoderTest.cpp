#include <gtest/gtest.h>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <limits>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "CountingNew.h"
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

TEST(SoundDecoder, SamplesThatAreNoNumbersBecomeSilence) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::string bytes = FloatWaveBytes(kRate, {0.25f, nan, inf, -inf, 2.0f});
    AString error;
    auto sound = DecodeSoundMemory(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), kRate, error);
    ASSERT_NE(sound, nullptr) << error.str();
    const std::vector<float> expected = {0.25f, 0.25f, 0, 0, 0, 0, 0, 0, 2.0f, 2.0f};
    EXPECT_EQ(sound->samples, expected);
}

TEST(SoundDecoder, ALengthTheHeaderClaimsIsNotReservedAtOnce) {
    // A short FLAC file at 192 kHz whose header claims 50 minutes: a few kilobytes that
    // once reserved a minute of samples, 88 MB, before reading a frame.
    TempDir dir;
    const std::filesystem::path flac = dir / "claims.flac";
    SF_INFO info{};
    info.samplerate = 192000;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(flac.c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr) << sf_strerror(nullptr);
    const std::vector<short> tone(1000, 8192);
    ASSERT_EQ(sf_write_short(out, tone.data(), 1000), 1000);
    sf_close(out);
    std::ifstream in(flac, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The 36-bit sample count ends the 8 bytes that follow the block sizes.
    ASSERT_GE(bytes.size(), 26u);
    const std::uint64_t claimed = 192000ull * 60 * 50;
    bytes[21] = static_cast<char>((bytes[21] & 0xF0) | ((claimed >> 32) & 0x0F));
    for (int i = 0; i < 4; ++i)
        bytes[22 + i] = static_cast<char>(claimed >> (24 - 8 * i));

    AString error;
    CountAllocationsHere(true);
    const auto sound = DecodeSoundMemory(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), kRate, error);
    CountAllocationsHere(false);
    ASSERT_NE(sound, nullptr) << error.str();
    EXPECT_LT(LargestCountedAllocation(), std::size_t{16} << 20);
    EXPECT_NEAR(static_cast<double>(sound->Frames()), 1000.0 * kRate / 192000, 1.0);
}
