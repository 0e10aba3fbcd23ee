#include <gtest/gtest.h>

#include "RecordingSurface.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"
#include "views/PianoRollDrawer.h"

namespace {

constexpr std::int32_t kKey = 12;

// A roll 400 pixels wide showing `rows` white-key rows from `firstRow`, at 30 pixels a
// quarter note (384 ticks).
PianoRollDrawer::Request Request(std::int32_t firstRow, std::int32_t firstTime = 0,
                                 std::int32_t rows = 20) {
    PianoRollDrawer::Request r;
    r.area = PianoRollDrawer::Rect{0, 10, 450, 10 + rows * kKey};
    r.firstRow = firstRow;
    r.firstTime = firstTime;
    return r;
}

struct Roll {
    std::unique_ptr<Song> song;
    ViewFilter filter;
    PianoRollDrawer drawer;
    RecordingSurface surface;

    explicit Roll(const std::string& notes) : song(BuildSong(notes)) {
        drawer.SetScale(30, 1.0, 384);
    }
    void Paint(PianoRollDrawer::Request request) {
        request.lookBack = PianoRollDrawer::LongestNote(*song, &filter);
        drawer.Paint(*song, &filter, surface, request);
    }
    const PianoRollDrawer::NoteBar& Bar(std::int32_t pitch) const {
        for (const auto& bar : drawer.Bars())
            if (bar.pitch == pitch)
                return bar;
        throw std::logic_error("no bar of pitch " + std::to_string(pitch));
    }
    // The colour filled inside a bar.
    SurfaceColor FillOf(const PianoRollDrawer::NoteBar& bar) const {
        for (const auto& op : surface.OfKind(RecordingSurface::Op::Fill))
            if (op.x0 > bar.rect.left && op.y0 > bar.rect.top && op.x1 < bar.rect.right)
                return op.color;
        throw std::logic_error("bar not filled");
    }
};

} // namespace

TEST(PianoRollDrawer, KeyRowsFollowThePianoBlackKeysHalfARowWhiteNeighboursAWholeOne) {
    PianoRollDrawer d;
    d.SetRequest(Request(0));
    EXPECT_EQ(d.PitchTop(64) - d.PitchTop(65), kKey); // E and F: no black key between
    EXPECT_EQ(d.PitchTop(60) - d.PitchTop(61), kKey / 2);
    EXPECT_EQ(d.PitchTop(59) - d.PitchTop(60), kKey);     // B below C
    EXPECT_EQ(d.PitchTop(48) - d.PitchTop(60), 7 * kKey); // an octave
    // Black keys count with the white key above them.
    EXPECT_EQ(PianoRollDrawer::WhiteRow(131), 0);
    EXPECT_EQ(PianoRollDrawer::WhiteRow(61), PianoRollDrawer::WhiteRow(62));
    EXPECT_EQ(PianoRollDrawer::WhiteRow(60), PianoRollDrawer::WhiteRow(62) + 1);
    EXPECT_EQ(PianoRollDrawer::WhiteRow(0), PianoRollDrawer::kWhiteRows - 1);
    // Scrolling down the keyboard moves every bar up by whole rows.
    PianoRollDrawer scrolled;
    scrolled.SetRequest(Request(30));
    EXPECT_EQ(d.PitchTop(60) - scrolled.PitchTop(60), 30 * kKey);
}

TEST(PianoRollDrawer, EveryPitchIsFoundAtItsBarAndBlackKeysNearWhiteBoundaries) {
    PianoRollDrawer d;
    for (std::int32_t firstRow : {0, 40}) {
        d.SetRequest(Request(firstRow, 0, PianoRollDrawer::kWhiteRows));
        for (std::int32_t pitch = 0; pitch <= 127; ++pitch) {
            const std::int32_t middle = d.PitchTop(pitch) + kKey / 2 - 1;
            if (middle < 10)
                continue;
            EXPECT_EQ(d.YToPitch(middle), pitch) << "first row " << firstRow;
        }
    }
    d.SetRequest(Request(0, 0, PianoRollDrawer::kWhiteRows));
    // On the keyboard's line between the white keys C and D, two pixels above it and one
    // below lies C sharp; further off, C or D.
    const std::int32_t lineCD = 10 + PianoRollDrawer::WhiteRow(60) * kKey;
    for (std::int32_t dy = -2; dy <= 1; ++dy)
        EXPECT_EQ(d.YToPitch(lineCD + dy), 61) << dy;
    EXPECT_EQ(d.YToPitch(lineCD + 2), 60);
    EXPECT_EQ(d.YToPitch(lineCD - 4), 62);
    // E to F has no black key between: no pitch but E or F on either side of the line.
    const std::int32_t fBottom = d.PitchTop(65) + kKey - 1;
    for (std::int32_t y = fBottom - 3; y <= fBottom + 3; ++y) {
        const std::optional<std::int32_t> pitch = d.YToPitch(y);
        ASSERT_TRUE(pitch);
        EXPECT_TRUE(*pitch == 64 || *pitch == 65) << "y " << y << " pitch " << *pitch;
    }
    // The rows above 127 and points outside the area are no pitch.
    EXPECT_FALSE(d.YToPitch(d.PitchTop(131) + 3));
    EXPECT_FALSE(d.YToPitch(9));
    EXPECT_FALSE(d.YToPitch(10 + PianoRollDrawer::kWhiteRows * kKey));
}

TEST(PianoRollDrawer, TimeUnderThePointerCountsFromTheGridWithSlackAndSnap) {
    PianoRollDrawer d;
    d.SetScale(30, 1.0, 384); // 12.8 ticks a pixel
    d.SetRequest(Request(0, 768));
    const std::int32_t grid = PianoRollDrawer::kKeyboardWidth;
    EXPECT_EQ(d.XToTime(grid + 30), 768 + 409); // (30 + 2) pixels, truncated
    EXPECT_EQ(d.XToTime(grid - 10), 768 + 25);  // a little left of the grid: its start
    EXPECT_FALSE(d.XToTime(grid - 11));
    EXPECT_EQ(d.XToTime(grid + 30, 96), 768 + 384);
    EXPECT_EQ(d.TimeToX(768 + 384), grid + 30);
    EXPECT_EQ(d.TimeToX(0), grid - 60);
}

TEST(PianoRollDrawer, BarsAtTheEdgesOfTheKeyboardAndOfTimeAreClippedNotLost) {
    // Pitch 0 and 127, a note that began two quarters before the view and a note far
    // shorter than a pixel.
    Roll roll("0 n127 384, 0 n0 384, 0 n60 1536, 1152 n62 2");
    roll.Paint(Request(PianoRollDrawer::WhiteRow(127) - 1, 768, 80));
    const PianoRollDrawer::Rect grid = roll.drawer.Grid();
    ASSERT_EQ(roll.drawer.Bars().size(), 2u); // the two quarter notes ended before 768
    roll.surface.ops.clear();
    roll.Paint(Request(PianoRollDrawer::WhiteRow(127) - 1, 0, 80));
    ASSERT_EQ(roll.drawer.Bars().size(), 4u);
    const auto& top = roll.Bar(127);
    EXPECT_EQ(top.rect.top, roll.drawer.PitchTop(127));
    EXPECT_EQ(top.rect.bottom - top.rect.top, kKey - 1);
    const auto& bottom = roll.Bar(0);
    EXPECT_EQ(bottom.rect.top, roll.drawer.PitchTop(0));
    EXPECT_LE(bottom.rect.bottom, grid.bottom - 1);

    roll.surface.ops.clear();
    roll.Paint(Request(PianoRollDrawer::WhiteRow(80), 768));
    const auto& early = roll.Bar(60);
    EXPECT_EQ(early.rect.left, grid.left + 1); // cut at the grid, not at its start
    EXPECT_EQ(early.rect.right, roll.drawer.TimeToX(1536));
    EXPECT_TRUE(early.endShown);
    EXPECT_EQ(early.tick, 0);
    const auto& tiny = roll.Bar(62);
    EXPECT_EQ(tiny.rect.right - tiny.rect.left, 1);
    // The bar under a point, and none beside it.
    EXPECT_EQ(roll.drawer.BarAt(early.rect.left + 5, early.rect.top + 3)->pitch, 60);
    EXPECT_FALSE(roll.drawer.BarAt(early.rect.right + 1, early.rect.top + 3));

    // A bar running past the right edge is cut there and its end is not shown.
    roll.surface.ops.clear();
    PianoRollDrawer::Request narrow = Request(PianoRollDrawer::WhiteRow(80), 0);
    narrow.area.right = 100;
    roll.Paint(narrow);
    EXPECT_EQ(roll.Bar(60).rect.right, 99);
    EXPECT_FALSE(roll.Bar(60).endShown);
}

TEST(PianoRollDrawer, NoteColoursFollowTheRampByVelocityAndStayApartByChannel) {
    const SurfaceColor black{0, 0, 0}, grey{128, 128, 128};
    EXPECT_EQ(PianoRollDrawer::NoteColor(0), black);
    EXPECT_EQ(PianoRollDrawer::NoteColor(8), grey);
    EXPECT_EQ(PianoRollDrawer::NoteColor(64), (SurfaceColor{0, 128, 255}));
    // Most of the way from orange to red.
    EXPECT_EQ(PianoRollDrawer::NoteColor(127), (SurfaceColor{255, 16, 0}));
    EXPECT_EQ(PianoRollDrawer::NoteColor(4), (SurfaceColor{64, 64, 64}));
    // Channels and tracks reach 240; the sixteen values give sixteen colours.
    std::vector<SurfaceColor> seen;
    for (std::int32_t channel = 0; channel < 16; ++channel) {
        const SurfaceColor c = PianoRollDrawer::NoteColor(
            PianoRollDrawer::ColorValue(kColorByChannel, 0, 0, channel, 0));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), c), 0) << "channel " << channel;
        seen.push_back(c);
    }
    EXPECT_EQ(PianoRollDrawer::ColorValue(kColorByTrack, 0, 0, 0, 17), 16);
    EXPECT_EQ(PianoRollDrawer::ColorValue(kColorByInstrument, 0, 40, 0, 0), 40);

    Roll roll("0 v0 n60 384, 384 v127 n62 384, 768 v64 n64 384");
    roll.Paint(Request(PianoRollDrawer::WhiteRow(80)));
    EXPECT_EQ(roll.FillOf(roll.Bar(60)), black);
    EXPECT_EQ(roll.FillOf(roll.Bar(62)), PianoRollDrawer::NoteColor(127));
    EXPECT_EQ(roll.FillOf(roll.Bar(64)), PianoRollDrawer::NoteColor(64));
}

TEST(PianoRollDrawer, KeyboardGridNotesThenTextsWithSelectedNotesInRed) {
    Roll roll("0 n60 384, 384 n62 384, 384 text5=la, 400 text5=lo");
    PianoRollDrawer::Request request = Request(PianoRollDrawer::WhiteRow(80));
    request.selectionStart = 384;
    request.selectionEnd = 767;
    roll.Paint(request);
    using Op = RecordingSurface::Op;
    const auto& ops = roll.surface.ops;
    // The keyboard's white ground comes first, the texts last.
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().kind, Op::Fill);
    EXPECT_EQ(ops.front().x1, PianoRollDrawer::kKeyboardWidth);
    const auto texts = roll.surface.OfKind(Op::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(ops.back().kind, Op::Text);
    EXPECT_EQ(texts[0].x0, roll.drawer.TimeToX(384) + PianoRollDrawer::kLabelGap);
    EXPECT_NE(texts[0].y0, texts[1].y0); // the second label would overlap: a row down
    // Outlines: black for the note outside the selection, red inside it.
    auto outline = [&](const PianoRollDrawer::NoteBar& bar) {
        for (const Op& op : ops)
            if (op.kind == Op::Line && op.x0 == bar.rect.left && op.y0 == bar.rect.top)
                return op.pen.color;
        throw std::logic_error("no outline");
    };
    EXPECT_EQ(outline(roll.Bar(60)), (SurfaceColor{0, 0, 0}));
    EXPECT_EQ(outline(roll.Bar(62)), PianoRollDrawer::kSelectedColor);
    // Black keys are drawn: three in the octave of middle C above the E-F line, two below.
    std::int32_t blackKeys = 0;
    for (const Op& op : roll.surface.OfKind(Op::Fill))
        if (op.color == SurfaceColor{0, 0, 0} && op.x1 < PianoRollDrawer::kKeyboardWidth &&
            op.y0 > roll.drawer.PitchTop(71) && op.y1 < roll.drawer.PitchTop(59))
            ++blackKeys;
    EXPECT_EQ(blackKeys, 5);
    // Without the lyrics setting no texts are drawn.
    roll.surface.ops.clear();
    request.showTexts = false;
    roll.Paint(request);
    EXPECT_TRUE(roll.surface.OfKind(Op::Text).empty());
}
