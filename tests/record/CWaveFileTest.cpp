#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <deque>

#include "WaveBytes.h"
#include "record/CWaveFile.h"
#include "support/TempDir.h"

using namespace wavebytes;

namespace {

// The reader keeps pointing into the image, so every image lives to the end of the run.
WaveResult Open(CWaveFile& wave, std::string image) {
    static std::deque<std::string> kept;
    const std::string& held = kept.emplace_back(std::move(image));
    return wave.OpenFromMemory(reinterpret_cast<const std::uint8_t*>(held.data()), held.size());
}

std::string ReadAll(CWaveFile& wave, std::uint32_t piece) {
    std::string out;
    std::uint8_t buffer[64];
    std::uint32_t got = 0;
    while (wave.Read(buffer, piece, &got) == WaveResult::Ok && got > 0)
        out.append(reinterpret_cast<const char*>(buffer), got);
    return out;
}

} // namespace

TEST(CWaveFile, ChunksComeInAnyOrderAndOtherFormatsKeepTheirExtraBytes) {
    // data before fmt, with an odd-sized (padded) LIST chunk and an unknown one around.
    CWaveFile wave;
    ASSERT_EQ(Open(wave, Riff({Chunk("LIST", "INFOabc"), Chunk("data", "\x01\x02\x03\x04"),
                               Chunk("junk", "xy"), Fmt(1, 1, 22050, 16)})),
              WaveResult::Ok);
    const WaveFormat* f = wave.Format();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(f->samplesPerSec, 22050u);
    EXPECT_EQ(f->avgBytesPerSec, 44100u);
    EXPECT_EQ(f->blockAlign, 2);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->extraSize, 0);
    EXPECT_EQ(ReadAll(wave, 64), "\x01\x02\x03\x04");

    ASSERT_EQ(Open(wave, Riff({Fmt(2, 1, 8000, 4, "\x05\x06\x07\x08"), Chunk("data", "ab")})),
              WaveResult::Ok);
    EXPECT_EQ(wave.Format()->formatTag, 2);
    EXPECT_EQ(wave.Format()->extra, (std::vector<std::uint8_t>{5, 6, 7, 8}));
    // A 16-byte chunk of another format has no count at all: none is taken from the
    // next chunk's header.
    ASSERT_EQ(Open(wave, Riff({Fmt(3, 1, 8000, 32), Chunk("data", "abcd")})), WaveResult::Ok);
    EXPECT_EQ(wave.Format()->extraSize, 0);
    EXPECT_EQ(wave.Size(), 4u);
}

TEST(CWaveFile, StructuralFaultsFailAndLeaveNoFormat) {
    const std::string fmt = Fmt(1, 1, 44100, 16);
    const std::string data = Chunk("data", "abcd");
    std::string shortRiff = Riff({fmt, data});
    shortRiff.replace(4, 4, Le32(4 + 24)); // the form ends before "data"
    const std::vector<std::string> bad = {
        "", "RIFF", "RIFX" + Riff({fmt, data}).substr(4), "RIFF" + Le32(28) + "AVI " + fmt,
        Riff({data}), Riff({fmt}), Riff({Chunk("fmt ", fmt.substr(8, 14)), data}),
        // Four extra bytes announced, two present.
        Riff({Chunk("fmt ", fmt.substr(8) + Le16(4) + "xy"), data}).replace(20, 2, Le16(2)),
        Riff({fmt, data}).substr(0, 30), shortRiff,
        // No channels: nothing in the data could be read as samples.
        Riff({Fmt(1, 0, 44100, 16), data})};
    for (std::size_t i = 0; i < bad.size(); ++i) {
        CWaveFile wave;
        EXPECT_EQ(Open(wave, bad[i]), WaveResult::Fail) << i;
        EXPECT_EQ(wave.Format(), nullptr) << i;
    }
    // A size larger than the file, as left by writers that never finished, is fine.
    std::string endless = Riff({fmt, data});
    endless.replace(4, 4, Le32(0xFFFFFFFFu));
    CWaveFile wave;
    EXPECT_EQ(Open(wave, endless), WaveResult::Ok);
}

TEST(CWaveFile, ReadsInPiecesStopAtTheEndAndResetStartsOver) {
    CWaveFile wave;
    ASSERT_EQ(Open(wave, MonoWave({1, 2, 3, 4, 5})), WaveResult::Ok);
    std::uint8_t buffer[16];
    std::uint32_t got = 99;
    ASSERT_EQ(wave.Read(buffer, 3, &got), WaveResult::Ok);
    EXPECT_EQ(got, 3u);
    ASSERT_EQ(wave.Read(buffer, 100, &got), WaveResult::Ok);
    EXPECT_EQ(got, 7u);
    EXPECT_EQ(buffer[5], 5);
    ASSERT_EQ(wave.Read(buffer, 100, &got), WaveResult::Ok);
    EXPECT_EQ(got, 0u);
    ASSERT_EQ(wave.ResetFile(), WaveResult::Ok);
    EXPECT_EQ(ReadAll(wave, 4), Samples({1, 2, 3, 4, 5}));
    EXPECT_EQ(wave.Read(nullptr, 1, &got), WaveResult::InvalidArgument);
    EXPECT_EQ(wave.Read(buffer, 1, nullptr), WaveResult::InvalidArgument);
    wave.Close();
    EXPECT_EQ(wave.Read(buffer, 1, &got), WaveResult::NotOpen);
    EXPECT_EQ(wave.ResetFile(), WaveResult::NotOpen);

    // A recording cut short keeps the samples written before the cut.
    std::string cut = MonoWave({7, 8, 9, 10});
    cut.resize(cut.size() - 3);
    ASSERT_EQ(Open(wave, cut), WaveResult::Ok);
    EXPECT_EQ(wave.Size(), 5u);
    EXPECT_EQ(ReadAll(wave, 2), Samples({7, 8, 9}).substr(0, 5));
}

TEST(CWaveFile, OpensFilesThenFallsBackOnShippedResources) {
    TempDir dir;
    const auto file = dir.Write("take.wav", MonoWave({42}));
    CWaveFile wave;
    EXPECT_EQ(wave.Open(nullptr), WaveResult::InvalidArgument);
    EXPECT_EQ(wave.Open(file.c_str(), WaveMode::Write), WaveResult::NotImplemented);
    ASSERT_EQ(wave.Open(file.c_str()), WaveResult::Ok);
    EXPECT_EQ(ReadAll(wave, 8), Samples({42}));
    EXPECT_EQ(wave.Open(dir.Write("bad.wav", "RIFF....WAVEnothing").c_str()), WaveResult::Fail);

    TempDir resources;
    resources.Write("chime.wav", MonoWave({1, 2}));
    setenv("VORLAUNE_RESOURCES", resources.Path().c_str(), 1);
    ASSERT_EQ(wave.Open("chime.wav"), WaveResult::Ok);
    EXPECT_EQ(ReadAll(wave, 8), Samples({1, 2}));
    EXPECT_EQ(wave.Open("missing.wav"), WaveResult::Fail);
    EXPECT_EQ(wave.Open(".."), WaveResult::Fail);
    // A folder or pipe is never mistaken for a missing file and looked up as a resource.
    resources.Write("pipe.wav", MonoWave({1, 2}));
    ASSERT_EQ(::mkfifo((dir / "pipe.wav").c_str(), 0600), 0);
    EXPECT_EQ(wave.Open((dir / "pipe.wav").c_str()), WaveResult::Fail);
    EXPECT_EQ(wave.OpenProblem().Describe(), (dir / "pipe.wav").string() + ": Not a regular file");
    EXPECT_EQ(wave.Open(dir.Path().c_str()), WaveResult::Fail);
    EXPECT_EQ(wave.OpenProblem().Reason(), "Is a directory");
    unsetenv("VORLAUNE_RESOURCES");
    EXPECT_TRUE(CWaveFile::IsRiffData(reinterpret_cast<const std::uint8_t*>("RIFF"), 4));
    EXPECT_FALSE(CWaveFile::IsRiffData(reinterpret_cast<const std::uint8_t*>("RIF"), 3));
}
