#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "WaveBytes.h"
#include "record/RecordingReader.h"
#include "support/TempDir.h"

using namespace wavebytes;

namespace {

std::vector<std::int16_t> ReadAll(RecordingReader& reader, std::size_t block = 777) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> part(block);
    while (const std::size_t got = reader.Read(part.data(), part.size()))
        out.insert(out.end(), part.begin(), part.begin() + static_cast<std::ptrdiff_t>(got));
    return out;
}

} // namespace

// The frame method's results rest on every 16-bit sample reaching it unchanged, the
// extremes included, whether the recording comes from a file or from memory.
TEST(RecordingReader, MonoSixteenBitAtTheAnalysisRateComesBackExactly) {
    std::vector<std::int16_t> x = {-32768, 32767, 0, -1, 1, -32767};
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> any(-32768, 32767);
    for (int i = 0; i < 100000; ++i)
        x.push_back(static_cast<std::int16_t>(any(rng)));
    TempDir dir;
    RecordingReader file;
    ASSERT_TRUE(file.OpenFile(dir.Write("x.wav", MonoWave(x)).string(), 44100.0).Ok());
    EXPECT_EQ(ReadAll(file), x);

    const std::string bytes = Samples(x);
    RecordingReader memory;
    ASSERT_TRUE(memory.OpenSamples(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size(), 44100.0, 44100.0));
    EXPECT_EQ(ReadAll(memory, 4096), x);
}

// Channels are averaged and another rate is converted: a tone keeps its frequency and,
// past the resampler's start, its level, and the length follows the rate.
TEST(RecordingReader, MixesChannelsAndConvertsTheRate) {
    const double hz = 441.0;
    std::vector<double> tone(48000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.5 * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / 48000.0);
    TempDir dir;
    // Channel 2 carries half the signal: the mix is three quarters of it.
    RecordingReader reader;
    ASSERT_TRUE(
        reader.OpenFile(dir.Write("s.wav", EncodeWave(tone, 3, 2, 48000, 32)).string(), 44100.0)
            .Ok());
    EXPECT_EQ(reader.InputChannels(), 2);
    EXPECT_DOUBLE_EQ(reader.InputRate(), 48000.0);
    const auto y = ReadAll(reader);
    EXPECT_NEAR(static_cast<double>(y.size()), 44100.0, 64.0);
    double worst = 0.0;
    for (std::size_t i = 1000; i + 1000 < y.size(); ++i) {
        const double expected =
            0.375 * 32768.0 * std::sin(2.0 * std::numbers::pi * hz * i / 44100.0);
        worst = std::max(worst, std::fabs(y[i] - expected));
    }
    EXPECT_LT(worst, 40.0); // about -60 dB of the tone
}
