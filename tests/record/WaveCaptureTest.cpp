#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "WaveBytes.h"
#include "playback/PostTarget.h"
#include "record/CWaveFile.h"
#include "record/PitchConversions.h"
#include "record/SampleRing.h"
#include "record/WaveCapture.h"
#include "record/WaveFileCaptureSource.h"
#include "record/WaveToNotes.h"
#include "record/WaveTrim.h"
#include "support/HandCaptureSource.h"
#include "support/TempDir.h"

using namespace wavebytes;
namespace fs = std::filesystem;

namespace {

using HandSource = HandCaptureSource;

class FrameNotices : public PostTarget {
public:
    void Post(std::uint32_t message, std::int64_t value) override {
        std::lock_guard lock(mutex);
        messages.push_back(message);
        values.push_back(value);
    }
    std::mutex mutex;
    std::vector<std::uint32_t> messages;
    std::vector<std::int64_t> values;
};

std::vector<std::int16_t> ReadTake(const fs::path& file, SF_INFO& info) {
    info = SF_INFO{};
    SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
    std::vector<std::int16_t> samples;
    if (!in)
        return samples;
    samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    samples.resize(static_cast<std::size_t>(
        sf_read_short(in, samples.data(), static_cast<sf_count_t>(samples.size()))));
    sf_close(in);
    return samples;
}

// The frames the converter's search finds running over the whole recording at once.
std::vector<FrequencyAnalysisSegment> OfflineFrames(const std::vector<std::int16_t>& x) {
    const FrameSearch search = FrameSearchOf(WaveToNotesParameters());
    std::vector<FrequencyAnalysisSegment> frames;
    for (std::size_t at = 0;;) {
        FrequencyAnalysisSegment f;
        DetectFrame(x.data() + at, static_cast<long>(x.size() - at), 44100, search, f);
        if (f.length == 0)
            return frames;
        frames.push_back(f);
        at += f.length;
    }
}

std::vector<std::int16_t> SungLine() {
    std::vector<std::int16_t> x = Silence(0.3);
    Append(
        x,
        Mix(Sing(Contour().Hold(62, 0.4, 20).Glide(67, 0.1).Hold(67, 0.5).Rest(0.2).Hold(55, 0.4)),
            Noise(Colour::Pink, 1.6, 150)));
    Append(x, Silence(0.3));
    return x;
}

bool WaitFor(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace

TEST(SampleRing, CarriesEverySampleInOrderAcrossThreadsAndRefusesWhatDoesNotFit) {
    SampleRing ring(1000);
    ASSERT_EQ(ring.Capacity(), 1024u);
    std::vector<std::int16_t> many(1500, 5);
    EXPECT_EQ(ring.Write(many.data(), many.size()), 1024u);
    EXPECT_EQ(ring.Write(many.data(), 1), 0u);
    std::vector<std::int16_t> out(2000);
    EXPECT_EQ(ring.Read(out.data(), out.size()), 1024u);
    EXPECT_EQ(ring.Read(out.data(), out.size()), 0u);

    // A writer that never waits and a reader that checks the sequence, across the wrap.
    constexpr int kTotal = 100000;
    std::thread writer([&] {
        std::int16_t piece[37];
        for (int next = 0; next < kTotal;) {
            const int n = std::min(37, kTotal - next);
            for (int i = 0; i < n; ++i)
                piece[i] = static_cast<std::int16_t>((next + i) & 0x7fff);
            const auto wrote = ring.Write(piece, static_cast<std::size_t>(n));
            next += static_cast<int>(wrote);
            if (wrote == 0)
                std::this_thread::yield();
        }
    });
    int expected = 0;
    bool inOrder = true;
    while (expected < kTotal) {
        const std::size_t got = ring.Read(out.data(), 101);
        if (got == 0)
            std::this_thread::yield();
        for (std::size_t i = 0; i < got; ++i, ++expected)
            inOrder = inOrder && out[i] == static_cast<std::int16_t>(expected & 0x7fff);
    }
    writer.join();
    EXPECT_TRUE(inOrder);
}

TEST(WaveCapture, WritesTheTakeAsFedAndAnalysesItAsTheConverterWould) {
    TempDir dir;
    auto owned = std::make_unique<HandSource>();
    HandSource& source = *owned;
    WaveCapture capture(std::move(owned));
    FrameNotices notices;
    capture.SetDirectory(dir.Path());
    capture.SetFrameTarget(&notices, 77);
    EXPECT_EQ(capture.TakePath(), dir / "VLRecording.WAV");
    std::string error;
    ASSERT_TRUE(capture.Prepare(error)) << error;
    ASSERT_TRUE(capture.Start(error)) << error;
    EXPECT_TRUE(capture.Recording());
    const std::vector<std::int16_t> sung = SungLine();
    source.Feed(sung);
    capture.Stop();
    EXPECT_FALSE(capture.Recording());
    EXPECT_EQ(capture.CapturedSamples(), sung.size());
    EXPECT_EQ(capture.LostSamples(), 0u);
    EXPECT_EQ(capture.Problem(), "");

    SF_INFO info;
    EXPECT_EQ(ReadTake(capture.TakePath(), info), sung);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const auto offline = OfflineFrames(sung);
    ASSERT_EQ(capture.FrameCount(), offline.size());
    std::uint64_t analysed = 0;
    int voiced = 0;
    for (std::size_t i = 0; i < offline.size(); ++i) {
        FrequencyAnalysisSegment f;
        ASSERT_TRUE(capture.GetFrame(i, f));
        EXPECT_EQ(f.length, offline[i].length) << i;
        EXPECT_EQ(f.candidateCount, offline[i].candidateCount) << i;
        EXPECT_EQ(f.frequency, offline[i].frequency) << i;
        EXPECT_EQ(f.confidence, offline[i].confidence) << i;
        EXPECT_EQ(f.threshold, offline[i].threshold) << i;
        analysed += f.length;
        voiced += f.candidateCount > 0;
    }
    FrequencyAnalysisSegment past;
    EXPECT_FALSE(capture.GetFrame(offline.size(), past));
    EXPECT_GT(voiced, 20);
    EXPECT_EQ(capture.AnalysedSamples(), analysed);
    // The tail shorter than a frame waits for more sound that never comes.
    EXPECT_LT(sung.size() - analysed, 3397u);

    // Each notice carries the frames analysed by then, rising to all of them.
    std::lock_guard lock(notices.mutex);
    ASSERT_FALSE(notices.values.empty());
    EXPECT_EQ(notices.values.back(), static_cast<std::int64_t>(offline.size()));
    EXPECT_TRUE(std::is_sorted(notices.values.begin(), notices.values.end()));
    EXPECT_EQ(std::count(notices.messages.begin(), notices.messages.end(), 77u),
              static_cast<long>(notices.messages.size()));
}

TEST(WaveCapture, TheTakeOnDiskIsReadableWhileItIsStillRecording) {
    TempDir dir;
    auto owned = std::make_unique<HandSource>();
    HandSource& source = *owned;
    WaveCapture capture(std::move(owned));
    capture.SetDirectory(dir.Path());
    std::string error;
    ASSERT_TRUE(capture.Prepare(error) && capture.Start(error)) << error;
    const auto tone = Tone(220, 8000, 3, 2.0);
    source.Feed(tone);
    ASSERT_TRUE(WaitFor([&] { return capture.AnalysedSamples() + 3397 > tone.size(); }));
    // As a crash would find it: the header already counts most of what was written, for
    // a reader that believes the header.
    CWaveFile wave;
    ASSERT_EQ(wave.Open(capture.TakePath().c_str()), WaveResult::Ok);
    EXPECT_GE(wave.Size(), 2u * 44100u);
    std::vector<std::int16_t> sofar(wave.Size() / 2);
    std::uint32_t got = 0;
    ASSERT_EQ(wave.Read(reinterpret_cast<std::uint8_t*>(sofar.data()),
                        static_cast<std::uint32_t>(2 * sofar.size()), &got),
              WaveResult::Ok);
    EXPECT_TRUE(std::equal(sofar.begin(), sofar.end(), tone.begin()));
    capture.Stop();
}

TEST(WaveCapture, AFailedStartSaysWhyAndLeavesNoEmptyTake) {
    TempDir dir;
    auto owned = std::make_unique<HandSource>();
    owned->refuse = true;
    WaveCapture capture(std::move(owned));
    std::string error;
    EXPECT_FALSE(capture.Prepare(error));
    EXPECT_FALSE(error.empty());

    capture.SetDirectory(dir.Path());
    EXPECT_FALSE(capture.Start(error));
    EXPECT_EQ(error, "The recording was not prepared.");
    ASSERT_TRUE(capture.Prepare(error));
    EXPECT_FALSE(capture.Start(error));
    EXPECT_EQ(error, "There is no sound input device.");
    EXPECT_FALSE(capture.Recording());
    EXPECT_FALSE(fs::exists(capture.TakePath()));

    WaveCapture nowhere(std::make_unique<HandSource>());
    nowhere.SetDirectory(dir / "missing");
    EXPECT_FALSE(nowhere.Prepare(error));
    EXPECT_NE(error.find((dir / "missing" / "VLRecording.WAV").string()), std::string::npos)
        << error;
}

TEST(WaveTrim, CutsWholeSilentStretchesAtEitherEndAndReportsTheTimeCutFirst) {
    TempDir dir;
    // Half a second of room noise below the threshold, a note, then 0.4 s of quiet.
    std::vector<std::int16_t> take = Noise(Colour::White, 0.5, 200);
    const std::size_t noteAt = take.size();
    Append(take, Tone(330, 9000, 3, 0.3));
    Append(take, Silence(0.4));
    const std::string bytes = MonoWave(take);
    const fs::path file = dir.Write("VLRecording.WAV", bytes);
    SF_INFO info;

    std::uint32_t removed = 1;
    std::string error;
    ASSERT_TRUE(WaveTrim::Trim(file, 2258, true, false, removed, error)) << error;
    EXPECT_EQ(removed, 500000u);
    auto left = ReadTake(file, info);
    EXPECT_EQ(left,
              std::vector<std::int16_t>(take.begin() + static_cast<long>(noteAt), take.end()));

    ASSERT_TRUE(WaveTrim::Trim(file, 2258, false, true, removed, error)) << error;
    EXPECT_EQ(removed, 0u);
    left = ReadTake(file, info);
    // Only the note is left, up to the end of the stretch its last sound falls in.
    EXPECT_GE(left.size(), 13230u);
    EXPECT_LE(left.size(), 13230u + 441u);
    EXPECT_FALSE(fs::exists(WaveTrim::PartPath(file)));

    // Both at once, and a take that is silence throughout stays whole.
    dir.Write("both.wav", bytes);
    ASSERT_TRUE(WaveTrim::Trim(dir / "both.wav", 2258, true, true, removed, error));
    EXPECT_EQ(removed, 500000u);
    EXPECT_EQ(ReadTake(dir / "both.wav", info), left);
    const std::string quiet = MonoWave(Silence(1.0));
    dir.Write("quiet.wav", quiet);
    ASSERT_TRUE(WaveTrim::Trim(dir / "quiet.wav", 2258, true, true, removed, error));
    EXPECT_EQ(removed, 0u);
    EXPECT_EQ(TempDir::Read(dir / "quiet.wav"), quiet);
}

TEST(WaveTrim, AFailureLeavesTheTakeAsItWas) {
    TempDir dir;
    std::vector<std::int16_t> take = Silence(0.5);
    Append(take, Tone(330, 9000, 3, 0.3));
    const std::string bytes = MonoWave(take);
    const fs::path file = dir.Write("VLRecording.WAV", bytes);
    // Nothing can be written where the shortened take would go.
    fs::create_directory(WaveTrim::PartPath(file));
    std::uint32_t removed = 7;
    std::string error;
    EXPECT_FALSE(WaveTrim::Trim(file, 2258, true, true, removed, error));
    EXPECT_EQ(removed, 0u);
    EXPECT_NE(error.find("VLRecording.WAV.part"), std::string::npos) << error;
    EXPECT_EQ(TempDir::Read(file), bytes);

    EXPECT_FALSE(WaveTrim::Trim(dir / "absent.wav", 2258, true, true, removed, error));
    EXPECT_NE(error.find("absent.wav"), std::string::npos) << error;
}

TEST(WaveFileCaptureSource, PlaysAnyRecordingInAsMonoAtTheRecordingRateAndSaysWhenDone) {
    TempDir dir;
    // Stereo at 22050 Hz: brought to one channel at 44100 Hz.
    std::vector<double> signal(11025, 0.25);
    const fs::path file = dir.Write("in.wav", EncodeWave(signal, 1, 2, 22050, 16));
    WaveCapture capture(std::make_unique<WaveFileCaptureSource>(file.string(), 4.0));
    capture.SetDirectory(dir.Path());
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(capture.Prepare(error) && capture.Start(error)) << error;
    ASSERT_TRUE(WaitFor([&] { return capture.SourceFinished(); }));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    capture.Stop();
    // Half a second of sound at four times real time.
    EXPECT_GE(seconds, 0.12);
    SF_INFO info;
    const auto got = ReadTake(capture.TakePath(), info);
    EXPECT_NEAR(static_cast<double>(got.size()), 22050.0, 64.0);
    // Channel 2 carries half the signal: the mix is three quarters of it.
    EXPECT_NEAR(got[got.size() / 2], 0.1875 * 32767, 40);

    WaveFileCaptureSource missing((dir / "none.wav").string());
    struct NullSink : AudioCaptureSink {
        void Captured(const std::int16_t*, std::size_t) override {}
    } sink;
    EXPECT_FALSE(missing.Start(sink, error));
    EXPECT_NE(error.find("none.wav"), std::string::npos) << error;
}
