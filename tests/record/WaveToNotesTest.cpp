#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "WaveBytes.h"
#include "record/PitchConversions.h"
#include "record/SungNoteFinder.h"
#include "record/WaveToNotes.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

using namespace wavebytes;

namespace {

std::vector<std::int16_t> Sung(int note, double seconds) {
    return Tone(FrequencyOfNote(note), 10000, 4, seconds, 300, static_cast<unsigned>(note));
}

struct Outcome {
    int code = -1;
    std::vector<DetectedNote> notes;
    int voiced = 0;
    std::vector<int> progress;
};

Outcome Convert(WaveToNotesParameters p, const std::string& file = "",
                const std::string& samples = "") {
    Outcome out;
    p.fileName = file;
    if (!samples.empty()) {
        p.samples = reinterpret_cast<const std::uint8_t*>(samples.data());
        p.sampleBytes = samples.size();
    }
    WaveToNotes converter;
    converter.SetProgressCallback([&out](int percent) { out.progress.push_back(percent); });
    out.code = converter.Convert(p, out.notes, out.voiced);
    return out;
}

// The extra bytes of the extensible form: valid bits, channel mask and the sub-format
// identifier whose first field is the plain format's tag.
std::string Extensible(unsigned subTag) {
    return Le16(16) + Le32(4) + Le16(subTag) +
           std::string("\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 14);
}

} // namespace

TEST(WaveToNotes, RefusesWhatIsNoSoundAndFindsNothingInLessThanAFrame) {
    TempDir dir;
    const std::string data = Chunk("data", Samples(Sung(60, 0.2)));
    const std::string cases[] = {
        "MThd not a wave at all",           Riff({Fmt(1, 1, 0, 16), data}), // no rate to time by
        Riff({Fmt(1, 1, 500, 16), data}), // a rate no recording has
        Riff({Fmt(1, 0, 44100, 16), data}), "RIFF....WAVE",
    };
    for (const std::string& bytes : cases) {
        TempDir each;
        const Outcome out = Convert({}, each.Write("in.wav", bytes).string());
        EXPECT_EQ(out.code, WaveToNotes::kBadFormat);
        EXPECT_TRUE(out.notes.empty());
    }
    EXPECT_EQ(Convert({}, (dir / "missing.wav").string()).code, WaveToNotes::kBadFormat);
    WaveToNotesParameters memory;
    memory.sampleRate = 0.0;
    EXPECT_EQ(Convert(memory, "", Samples(Sung(60, 0.2))).code, WaveToNotes::kBadFormat);

    auto x = Sung(60, 0.5);
    x.resize(3396); // one frame is 3397 samples at the default range
    const Outcome out = Convert({}, dir.Write("short.wav", MonoWave(x)).string());
    EXPECT_EQ(out.code, WaveToNotes::kOk);
    EXPECT_TRUE(out.notes.empty());
    for (int method : {WaveToNotes::kFrameMethod, WaveToNotes::kSungMethod}) {
        WaveToNotesParameters p;
        p.method = method;
        const Outcome empty = Convert(p, dir.Write("empty.wav", MonoWave({})).string());
        EXPECT_EQ(empty.code, WaveToNotes::kOk);
        EXPECT_TRUE(empty.notes.empty());
    }
}

TEST(WaveToNotes, EverySampleFormatRateAndChannelCountGivesTheSameNotes) {
    // A melody with a rest and a joined note, and how each format writes it.
    const Contour line = Contour().Rest(0.3).Hold(57, 0.5).Rest(0.2).Hold(64, 0.5).Hold(69, 0.5);
    const std::tuple<unsigned, unsigned, std::uint32_t, unsigned> formats[] = {
        {3, 2, 48000, 32}, // stereo float
        {1, 1, 96000, 24},
        {1, 1, 22050, 8},
        {0xFFFE, 1, 44100, 16},
    };
    TempDir dir;
    for (int method : {WaveToNotes::kFrameMethod, WaveToNotes::kSungMethod}) {
        WaveToNotesParameters p;
        p.method = method;
        // Within a frame: the frame method's longest, the sung method's step.
        const double frame = method == WaveToNotes::kFrameMethod
                                 ? 3397 / 44100.0
                                 : SungNoteFinder::kHop / SungNoteFinder::kAnalysisRate;
        const Outcome plain = Convert(p, dir.Write("plain.wav", MonoWave(Sing(line))).string());
        ASSERT_EQ(plain.notes.size(), 3u) << "method " << method;
        for (const auto& [tag, channels, rate, bits] : formats) {
            const std::vector<double> x = Render(line, rate, 12000 / 32768.0);
            std::string bytes = EncodeWave(x, tag == 0xFFFE ? 1 : tag, channels, rate, bits);
            if (tag == 0xFFFE) // the same samples under the extensible header
                bytes = Riff(
                    {Fmt(0xFFFE, 1, 44100, 16, Extensible(1)), bytes.substr(bytes.find("data"))});
            const Outcome out = Convert(p, dir.Write("other.wav", bytes).string());
            ASSERT_EQ(out.code, WaveToNotes::kOk);
            ASSERT_EQ(out.notes.size(), plain.notes.size())
                << "method " << method << ", " << channels << " channels at " << rate << " Hz";
            for (std::size_t i = 0; i < out.notes.size(); ++i) {
                EXPECT_EQ(out.notes[i].note, plain.notes[i].note) << rate;
                EXPECT_NEAR(out.notes[i].start / 1e6, plain.notes[i].start / 1e6, frame) << rate;
                EXPECT_NEAR((out.notes[i].start + out.notes[i].length) / 1e6,
                            (plain.notes[i].start + plain.notes[i].length) / 1e6, frame)
                    << rate;
            }
        }
    }
}

TEST(WaveToNotes, FindsTheNotesOfAMelodyFromAFileAndFromMemoryAlike) {
    // Rests and three notes, the last two joined, over more than one sample window.
    std::vector<std::int16_t> x = Silence(0.3);
    for (auto part : {Sung(57, 0.5), Silence(0.2), Sung(64, 0.5), Sung(69, 0.5), Silence(0.3)})
        Append(x, part);
    TempDir dir;
    const Outcome file = Convert({}, dir.Write("melody.wav", MonoWave(x)).string());
    ASSERT_EQ(file.code, WaveToNotes::kOk);
    ASSERT_EQ(file.notes.size(), 3u);
    const int pitches[] = {57, 64, 69};
    const double starts[] = {0.3, 1.0, 1.5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(file.notes[i].note, pitches[i]);
        EXPECT_NEAR(file.notes[i].start / 1e6, starts[i], 0.05) << i;
        EXPECT_NEAR(file.notes[i].length / 1e6, 0.5, 0.1) << i;
        EXPECT_EQ(file.notes[i].velocity, 96);
    }
    EXPECT_EQ(file.progress.front(), 0);
    EXPECT_EQ(file.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(file.progress.begin(), file.progress.end()));

    const Outcome memory = Convert({}, "", Samples(x));
    ASSERT_EQ(memory.notes.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(memory.notes[i].start, file.notes[i].start);
}

TEST(WaveToNotes, StopsAfterTheLastFrameSlot) {
    // Short frames (a high lowest pitch) fill every slot within four seconds.
    WaveToNotesParameters p;
    p.method = WaveToNotes::kFrameMethod;
    p.lowPitch = 80;
    const Outcome out = Convert(p, "", Samples(Sung(88, 6.0)));
    EXPECT_EQ(out.voiced, 1999);
    ASSERT_EQ(out.notes.size(), 1u);
    EXPECT_LT(out.notes[0].start + out.notes[0].length, 5000000u);
}

TEST(WaveToNotes, ParametersComeFromTheSettingsFileWithDefaults) {
    TempDir dir;
    dir.Write(INIFile::kFileName, "WTMLowPitch=30\nWTMMinInNote=16\nWTMMinOutNote=0\n");
    INIFile ini(dir.Path());
    WaveToNotesParameters p;
    p.Read(ini, 600000); // the tempo at the cursor
    EXPECT_EQ(p.lowPitch, 30);
    EXPECT_EQ(p.highPitch, 94);
    EXPECT_DOUBLE_EQ(p.tolerance, 3.1717);
    EXPECT_EQ(p.minVolume, 2258);
    EXPECT_EQ(p.eraseRest, 1);
    EXPECT_EQ(p.minInNoteMicroseconds, 150000u); // a sixteenth note at 100 per minute
    EXPECT_EQ(p.minOutNoteMicroseconds, 0u);     // "None"
    EXPECT_EQ(WaveToNotesParameters{}.minInNoteMicroseconds, NoteValueMicroseconds(64, 500000));

    // The tracker for singing unless the frame method is asked for by name.
    EXPECT_EQ(p.method, WaveToNotes::kSungMethod);
    for (const auto& [text, method] : {std::pair{"WTMMethod=0\n", WaveToNotes::kFrameMethod},
                                       std::pair{"WTMMethod=1\n", WaveToNotes::kSungMethod},
                                       std::pair{"WTMMethod=7\n", WaveToNotes::kSungMethod},
                                       std::pair{"WTMMethod=-1\n", WaveToNotes::kSungMethod}}) {
        TempDir home;
        home.Write(INIFile::kFileName, text);
        INIFile settings(home.Path());
        WaveToNotesParameters read;
        read.method = -5;
        read.Read(settings, 500000);
        EXPECT_EQ(read.method, method) << text;
    }
}

TEST(WaveToNotes, NoiseAloneGivesNoNotesWithEitherMethod) {
    for (int method : {WaveToNotes::kFrameMethod, WaveToNotes::kSungMethod}) {
        WaveToNotesParameters p;
        p.method = method;
        EXPECT_TRUE(Convert(p, "", Samples(Silence(2.0))).notes.empty());
        for (Colour colour : {Colour::White, Colour::Pink, Colour::Brown})
            for (double rms : {30.0, 3000.0, 12000.0})
                EXPECT_TRUE(Convert(p, "", Samples(Noise(colour, 4.0, rms))).notes.empty())
                    << "method " << method << " colour " << static_cast<int>(colour) << " level "
                    << rms;
    }
}
