#include <gtest/gtest.h>

#include <algorithm>

#include "WaveBytes.h"
#include "record/PitchConversions.h"
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

TEST(WaveToNotes, RefusesWhatItCannotReadAndFindsNothingInLessThanAFrame) {
    TempDir dir;
    const std::string data = Chunk("data", Samples(Sung(60, 0.2)));
    const std::pair<std::string, int> cases[] = {
        {Riff({Fmt(1, 2, 44100, 16), data}), WaveToNotes::kNotMono},
        {Riff({Fmt(1, 2, 44100, 8), data}), WaveToNotes::kNotMono},
        {Riff({Fmt(1, 1, 44100, 8), data}), WaveToNotes::kNot16Bits},
        {"MThd not a wave at all", WaveToNotes::kBadFormat},
        {Riff({Fmt(1, 1, 0, 16), data}), WaveToNotes::kBadFormat}, // no rate to time by
        // Headers that claim 16 bits for samples that are something else, or no channel.
        {Riff({Fmt(6, 1, 44100, 16, Le16(0)), data}), WaveToNotes::kBadFormat}, // A-law
        {Riff({Fmt(3, 1, 44100, 16), data}), WaveToNotes::kBadFormat},          // float
        {Riff({Fmt(0xFFFE, 1, 44100, 16, Extensible(3)), data}), WaveToNotes::kBadFormat},
        {Riff({Fmt(1, 0, 44100, 16), data}), WaveToNotes::kBadFormat},
    };
    for (const auto& [bytes, code] : cases) {
        const Outcome out = Convert({}, dir.Write("in.wav", bytes).string());
        EXPECT_EQ(out.code, code);
        EXPECT_TRUE(out.notes.empty());
    }
    EXPECT_EQ(Convert({}, (dir / "missing.wav").string()).code, WaveToNotes::kBadFormat);
    // The extensible form of plain PCM is read.
    const auto extensible = Riff({Fmt(0xFFFE, 1, 44100, 16, Extensible(1)), data});
    EXPECT_EQ(Convert({}, dir.Write("ext.wav", extensible).string()).code, WaveToNotes::kOk);
    EXPECT_STREQ(WaveToNotes::ErrorText(3), "Error Occurred Converting: Wave file needs to be "
                                            "mono/single channel, not stereo.");

    auto x = Sung(60, 0.5);
    x.resize(3396); // one frame is 3397 samples at the default range
    const Outcome out = Convert({}, dir.Write("short.wav", MonoWave(x)).string());
    EXPECT_EQ(out.code, WaveToNotes::kOk);
    EXPECT_TRUE(out.notes.empty());
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
}
