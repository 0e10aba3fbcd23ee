#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ReferenceDetectFrequency.h"
#include "WaveBytes.h"
#include "record/DetectFrequency.h"
#include "record/PitchConversions.h"

using namespace wavebytes;

namespace {

constexpr double kRate = 44100.0;
const double kLow = FrequencyOfNote(20);
const double kHigh = FrequencyOfNote(94);

// The converter's default settings.
const FrameSearch kSearch{3.1717, 2258, kLow, kHigh, 0.474451, 2.9935};

int Detect(const std::vector<std::int16_t>& x, FrequencyAnalysisSegment& f, std::size_t at = 0,
           double high = kHigh) {
    const FrameSearch& s = kSearch;
    return DetectFrequency(x.data() + at, static_cast<long>(x.size() - at), kRate, &f.length, true,
                           false, s.tolerance, &f.frequency, &f.confidence, &f.candidateCount,
                           &f.threshold, s.minVolume, s.lowFrequency, high, s.peakFraction,
                           s.peakWeight, false, false);
}

// Doubles compared by their bits: "equal" must mean identical.
bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(PitchConversions, NotesFrequenciesAndNames) {
    EXPECT_DOUBLE_EQ(FrequencyOfNote(69), 440.0);
    EXPECT_NEAR(FrequencyOfNote(20), 25.957, 0.001);
    EXPECT_NEAR(FrequencyOfNote(94), 1864.66, 0.01);
    for (int n = 0; n <= 127; ++n)
        EXPECT_NEAR(FractionalNote(FrequencyOfNote(n)), n, 1e-9);
    EXPECT_EQ(NoteName(60), "C5");
    EXPECT_EQ(NoteName(22), "A#1");
    EXPECT_EQ(NoteName(11), "B0");
}

TEST(DetectFrequency, FindsSineAndHarmonicTonesAcrossTheDefaultRange) {
    // A pure low sine is too smooth to pass the swing test over the shortest lag, so the
    // lowest notes come with harmonics only. A little noise stands for the room: a tone
    // repeating exactly at a far lag would otherwise outscore its true period.
    for (int note : {21, 24, 31, 38, 45, 52, 57, 60, 64, 69, 74, 81, 86, 91, 93}) {
        for (int harmonics : {1, 6}) {
            if (harmonics == 1 && note < 38)
                continue;
            const auto x = Tone(FrequencyOfNote(note), 12000, harmonics, 0.2, 300, note);
            int voiced = 0;
            FrequencyAnalysisSegment f;
            for (std::size_t at = 0; Detect(x, f, at) != kDetectNeedMoreSamples; at += f.length) {
                if (f.candidateCount == 0)
                    continue;
                ++voiced;
                EXPECT_NEAR(FractionalNote(f.frequency), note, 0.5) << "harmonics " << harmonics;
                // A voiced frame moves on by half a frame plus its period.
                EXPECT_EQ(f.length, 3397u / 2 + static_cast<unsigned>(kRate / f.frequency));
            }
            EXPECT_GE(voiced, 2) << note;
        }
    }
}

TEST(DetectFrequency, QuietFramesAreSilentAndTheLastFrameNeedsAWholeFrame) {
    FrequencyAnalysisSegment f;
    // Swing below the threshold over the shortest lag: that lag is consumed.
    for (const auto& quiet : {Silence(0.1), Tone(0, 0, 1, 0.1, 1000)}) {
        EXPECT_EQ(Detect(quiet, f), kDetectSilent);
        EXPECT_EQ(f.length, 23u);
        EXPECT_EQ(f.candidateCount, 0);
    }
    // A click passes the swing test but the average level stays low: a quarter frame.
    auto click = Silence(0.1);
    click[3] = 20000;
    EXPECT_EQ(Detect(click, f), kDetectSilent);
    EXPECT_EQ(f.length, 1698u / 2);

    // One frame is 3397 samples at the default range.
    auto tone = Tone(220, 10000, 1, 0.1);
    tone.resize(3397);
    EXPECT_EQ(Detect(tone, f), kDetectDone);
    EXPECT_EQ(Detect(tone, f, 1), kDetectNeedMoreSamples);
    EXPECT_EQ(f.length, 0u);
    // With the highest pitch set below the lowest, the swing test spans more than a
    // frame; it must not read past the data.
    tone.resize(static_cast<std::size_t>(kRate / FrequencyOfNote(12)) - 1);
    EXPECT_EQ(Detect(tone, f, 0, FrequencyOfNote(12)), kDetectNeedMoreSamples);
}

// The shipped detector skips work the plain loop does; every output must stay the same.
TEST(DetectFrequency, MatchesThePlainLoopBitForBit) {
    std::vector<std::vector<std::int16_t>> signals;
    for (double f : {27.5, 98.0, 261.6, 440.0, 987.8, 1760.0})
        signals.push_back(Tone(f, 9000, 5, 0.1, 500, static_cast<unsigned>(f)));
    signals.push_back(Tone(300, 32000, 1, 0.1)); // near full scale: the envelope clamps
    auto decay = Tone(150, 25000, 3, 0.1, 2500);
    for (std::size_t i = 0; i < decay.size(); ++i)
        decay[i] = static_cast<std::int16_t>(decay[i] * (1.0 - static_cast<double>(i) / 4410));
    signals.push_back(decay);
    signals.emplace_back(decay.rbegin(), decay.rend()); // swelling: the anchor moves
    for (double amplitude : {32767.0, 8000.0})
        signals.push_back(Tone(0, 0, 1, 0.1, amplitude, 5));

    struct Setting {
        bool onlyOne, stopAtFirst, refine, envelope;
        double tolerance, weight, fraction;
        long minVolume;
    };
    const Setting settings[] = {
        {true, false, false, false, 3.1717, 2.9935, 0.474451, 2258}, // the converter's
        {true, false, true, false, 3.1717, 2.9935, 0.474451, 2258},
        {true, false, false, true, 3.1717, 2.9935, 0.474451, 2258},
        {true, true, false, false, 3.1717, 2.9935, 0.474451, 2258},
        {false, false, true, true, 5.0, 2.9935, 0.474451, 0},
        {true, false, false, false, 1.0, 0.0, 0.9, 100},
        {true, false, false, false, 5.0, -0.5, 0.2, 100}, // a negative weight
        {false, false, false, false, 2.0, 1.0, 0.474451, 2258},
    };
    std::vector<double> fa(1700), ca(1700), fb(1700), cb(1700);
    int voiced = 0;
    // The plain loop is slow: each signal meets the converter's setting and one other.
    for (std::size_t n = 0; n < signals.size(); ++n) {
        for (std::size_t which : {std::size_t{0}, 1 + n % (std::size(settings) - 1)}) {
            const Setting& s = settings[which];
            const long offset = static_cast<long>(n % 3) * 7;
            const std::int16_t* x = signals[n].data() + offset;
            const long size = static_cast<long>(signals[n].size()) - offset;
            FrequencyAnalysisSegment a, b;
            const int ra =
                DetectFrequency(x, size, kRate, &a.length, s.onlyOne, s.stopAtFirst, s.tolerance,
                                fa.data(), ca.data(), &a.candidateCount, &a.threshold, s.minVolume,
                                kLow, kHigh, s.fraction, s.weight, s.refine, s.envelope);
            const int rb = ReferenceDetectFrequency(
                x, size, kRate, &b.length, s.onlyOne, s.stopAtFirst, s.tolerance, fb.data(),
                cb.data(), &b.candidateCount, &b.threshold, s.minVolume, kLow, kHigh, s.fraction,
                s.weight, s.refine, s.envelope);
            SCOPED_TRACE(testing::Message() << "signal " << n << " setting " << which);
            ASSERT_EQ(ra, rb);
            ASSERT_EQ(a.length, b.length);
            ASSERT_EQ(a.candidateCount, b.candidateCount);
            ASSERT_TRUE(SameBits(a.threshold, b.threshold));
            for (int i = 0; i < (s.onlyOne ? 1 : a.candidateCount); ++i)
                ASSERT_TRUE(SameBits(fa[i], fb[i]) && SameBits(ca[i], cb[i])) << i;
            voiced += a.candidateCount > 0;
        }
    }
    EXPECT_GT(voiced, 12); // the comparison covered real candidates
}

// The converter's detector finds the same pitch, score and length as the one above on
// anything with a period, however much noise lies over it, and calls noise alone unvoiced.
TEST(DetectFrame, AgreesWithDetectFrequencyOnTonesInNoiseAndRefusesNoiseAlone) {
    struct Case {
        std::vector<std::int16_t> x;
        bool noiseAlone;
        int note = 0;
    };
    std::vector<Case> cases;
    for (int note : {31, 45, 57, 69, 81, 91}) {
        const auto tone = Tone(FrequencyOfNote(note), 10000, 5, 0.5, 300, note);
        cases.push_back({tone, false, note});
        // 20 and 10 dB under white noise: nearly every lag passes the tolerance.
        cases.push_back({Mix(tone, Noise(Colour::White, 0.5, 700, note)), false, note});
        cases.push_back({Mix(tone, Noise(Colour::White, 0.5, 2200, note)), false, note});
    }
    for (Colour colour : {Colour::White, Colour::Pink, Colour::Brown})
        for (double rms : {3000.0, 12000.0})
            cases.push_back({Noise(colour, 0.5, rms), true});

    int compared = 0;
    int noiseCalledVoiced = 0;
    for (std::size_t n = 0; n < cases.size(); ++n) {
        const auto& x = cases[n].x;
        for (std::size_t at = 0; at + 3397 <= x.size(); at += 1500) {
            FrequencyAnalysisSegment a, b;
            const int ra = Detect(x, a, at);
            ASSERT_EQ(
                DetectFrame(x.data() + at, static_cast<long>(x.size() - at), kRate, kSearch, b),
                ra);
            SCOPED_TRACE(testing::Message() << "case " << n << " at " << at);
            if (cases[n].noiseAlone) {
                EXPECT_EQ(b.candidateCount, 0);
                noiseCalledVoiced += a.candidateCount > 0;
                continue;
            }
            // Only a wrong pitch, taken from the noise, may be dropped.
            if (a.candidateCount > 0 && b.candidateCount == 0) {
                EXPECT_GT(std::fabs(FractionalNote(a.frequency) - cases[n].note), 1.0);
                continue;
            }
            ASSERT_EQ(b.candidateCount > 0, a.candidateCount > 0);
            if (a.candidateCount == 0)
                continue;
            ++compared;
            EXPECT_TRUE(SameBits(a.frequency, b.frequency));
            EXPECT_TRUE(SameBits(a.confidence, b.confidence));
            EXPECT_TRUE(SameBits(a.threshold, b.threshold));
            EXPECT_EQ(a.length, b.length);
        }
    }
    EXPECT_GT(compared, 40);
    // What the frame search alone made of noise: pitches.
    EXPECT_GT(noiseCalledVoiced, 5);
}
