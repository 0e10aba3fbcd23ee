#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "record/PitchConversions.h"
#include "record/PitchTrace.h"

namespace {

// 2205 samples: 50 ms, two and a half pixels.
constexpr std::uint32_t kFrame = 2205;

FrequencyAnalysisSegment Voiced(double note, std::uint32_t length = kFrame) {
    FrequencyAnalysisSegment f;
    f.frequency = FrequencyOfNote(note);
    f.length = length;
    f.candidateCount = 1;
    return f;
}

FrequencyAnalysisSegment Unvoiced(std::uint32_t length = kFrame) {
    FrequencyAnalysisSegment f;
    f.length = length;
    return f;
}

void Sing(PitchTrace& trace, std::initializer_list<double> notes) {
    for (double n : notes)
        trace.Add(Voiced(n));
}

} // namespace

TEST(PitchTrace, RowsLabelsAndPointsAtTwentyPixelsASemitoneAndFiftyASecond) {
    PitchTrace trace(400, 200);
    Sing(trace, {69, 69, 69, 69.5});
    ASSERT_EQ(trace.Centre(), 69);

    const std::vector<PitchTrace::Row> rows = trace.Rows();
    ASSERT_EQ(rows.size(), 10u); // notes 74 (y 0) down to 65 (y 180)
    EXPECT_EQ(rows.front().note, 74);
    EXPECT_EQ(rows.front().y, 0);
    EXPECT_EQ(rows.back().note, 65);
    EXPECT_EQ(rows.back().y, 180);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].y - rows[i - 1].y, 20);
        EXPECT_NE(rows[i].light, rows[i - 1].light);
    }
    const std::vector<PitchTrace::Label> labels = trace.Labels();
    ASSERT_EQ(labels.size(), rows.size());
    EXPECT_EQ(labels.front().text, "   D6");
    EXPECT_EQ(labels[5].text, "   A5");
    EXPECT_EQ(labels[5].y, 100);

    const auto lines = trace.Lines();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 4u);
    // Each 50 ms frame moves 2.5 pixels on; half a semitone up is 10 pixels.
    EXPECT_EQ(lines[0][0].x, 0);
    EXPECT_EQ(lines[0][2].x, 5);
    EXPECT_EQ(lines[0][0].y, 100);
    EXPECT_EQ(lines[0][3].y, 90);
    EXPECT_DOUBLE_EQ(trace.AnalysedMilliseconds(), 200.0);
}

TEST(PitchTrace, TheCentreFollowsAHeldNoteOnlyWhenItNearsAnEdge) {
    PitchTrace trace(400, 200); // ten rows: five either side of the centre
    EXPECT_EQ(trace.Centre(), 65);
    EXPECT_FALSE(trace.HeldNote());

    // One frame is shorter than a sixteenth of a second: nothing held yet.
    Sing(trace, {60});
    EXPECT_FALSE(trace.HeldNote());
    EXPECT_EQ(trace.Centre(), 65);
    Sing(trace, {60.2});
    EXPECT_EQ(trace.HeldNote(), 60);
    EXPECT_EQ(trace.Centre(), 60); // 5 rows away: too near the edge

    // Within three rows of the centre the rows stay where they are.
    Sing(trace, {63, 63});
    EXPECT_EQ(trace.HeldNote(), 63);
    EXPECT_EQ(trace.Centre(), 60);
    Sing(trace, {57, 57});
    EXPECT_EQ(trace.Centre(), 60);
    Sing(trace, {56, 56});
    EXPECT_EQ(trace.Centre(), 56);
    EXPECT_EQ(trace.CentreMoves(), 2);

    // A short blip far away does not count; the stretch held before it does.
    Sing(trace, {80});
    EXPECT_EQ(trace.HeldNote(), 56);
    EXPECT_EQ(trace.Centre(), 56);
    // Nor does a stretch broken by silence.
    trace.Add(Unvoiced());
    Sing(trace, {80});
    EXPECT_EQ(trace.HeldNote(), 56);
    // A voice sliding within three semitones of where it is now is held there.
    Sing(trace, {78, 77.6});
    EXPECT_EQ(trace.HeldNote(), 78);
    EXPECT_EQ(trace.Centre(), 78);
}

TEST(PitchTrace, LinesBreakAtSilenceAndAtLeaps) {
    PitchTrace trace(400, 400);
    // 2 semitones (40 px) is a slide; 3 semitones (60 px) is a leap.
    Sing(trace, {65, 65, 67, 67});
    trace.Add(Unvoiced());
    Sing(trace, {67, 64, 64});
    trace.Add(Unvoiced());
    Sing(trace, {64}); // a single point makes no line
    trace.Add(Unvoiced());
    const auto lines = trace.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 4u);
    EXPECT_EQ(lines[1].size(), 2u);
    EXPECT_EQ(lines[1][0].y, trace.YOfPitch(64));
    // The silent frame still moved the trace on.
    EXPECT_EQ(lines[1][0].x, 15);

    // A frequency that is no note at all draws nothing.
    PitchTrace odd(400, 400);
    FrequencyAnalysisSegment f = Voiced(60);
    f.frequency = 1.0;
    odd.Add(f);
    odd.Add(f);
    EXPECT_TRUE(odd.Lines().empty());
    EXPECT_FALSE(odd.HeldNote());
}

TEST(PitchTrace, TheNewestSoundStaysInViewAndTheDisplayKeepsTwoThousandFrames) {
    PitchTrace trace(100, 200);
    // 3 seconds: 150 pixels, 50 more than the frame is wide.
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(trace.Add(Voiced(65)));
    const auto lines = trace.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LT(lines[0].front().x, 0);
    EXPECT_EQ(lines[0].back().x, 98); // the last frame starts 2.5 px before the end
    EXPECT_GE(lines[0].back().x, 0);

    trace.Resize(100, 100);
    EXPECT_EQ(trace.Rows().size(), 5u);
    while (trace.FrameCount() < PitchTrace::kMaxFrames)
        ASSERT_TRUE(trace.Add(Voiced(65, 10)));
    EXPECT_FALSE(trace.Add(Voiced(65)));
    EXPECT_EQ(trace.FrameCount(), PitchTrace::kMaxFrames);
}

TEST(PitchTrace, SilenceReportedStretchByStretchTakesOnePlace) {
    PitchTrace trace(400, 200);
    // Three seconds of silence as the recorder reports it, 23 samples at a time, would
    // otherwise fill the display before anyone sang.
    for (int i = 0; i < 5752; ++i)
        ASSERT_TRUE(trace.Add(Unvoiced(23)));
    EXPECT_EQ(trace.FrameCount(), 1u);
    Sing(trace, {65, 65});
    const auto lines = trace.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][0].x, 150);
    EXPECT_EQ(trace.HeldNote(), 65);
}

TEST(PitchTrace, TheProcessingDelayAndFileSizeLine) {
    EXPECT_EQ(PitchTrace::StatusLine(2500, 2000),
              "Processing Delay: 0.5 seconds     Wave File Size: 215 KB");
    EXPECT_EQ(PitchTrace::StatusLine(0, 0),
              "Processing Delay: 0.0 seconds     Wave File Size: 0 KB");
    EXPECT_EQ(PitchTrace::StatusLine(61000, 48700),
              "Processing Delay: 12.3 seconds     Wave File Size: 5254 KB");
    // A file played in faster than real time is analysed ahead of the clock.
    EXPECT_EQ(PitchTrace::StatusLine(1000, 3000),
              "Processing Delay: 0.0 seconds     Wave File Size: 86 KB");
}
