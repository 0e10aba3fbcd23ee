#include <gtest/gtest.h>

#include <memory_resource>

#include "RecordingSurface.h"
#include "StaffLayoutHelpers.h"
#include "views/StaffDrawer.h"

namespace {

struct Drawing {
    RecordingSurface surface;
    StaffDrawer drawer;
    std::vector<StaffDrawResult> results;
    explicit Drawing(double scale) : drawer(surface, scale, scale) {}

    // Draws measures side by side from x = 0, the first with its header.
    void Draw(const ArrangedSong& s, std::int32_t top = 0, StaffDrawRequest request = {}) {
        std::int32_t x = 0;
        for (std::size_t i = 0; i < s.measures.size(); ++i) {
            request.systemTop = top;
            request.drawHeader = i == 0;
            results.emplace_back();
            drawer.DrawMeasure(surface, x, s[i], request, results.back());
        }
    }
    std::string Glyphs() const {
        std::string glyphs;
        for (const auto& op : surface.Texts("Vorlan"))
            glyphs += op.text;
        return glyphs;
    }
};

MeasureDrawInfo Empty(std::pmr::memory_resource& memory, std::int32_t shortest,
                      std::int32_t length = 1536) {
    MeasureDrawInfo m(&memory);
    m.shortestType = shortest;
    m.length = length;
    m.clef = kClefTreble;
    return m;
}

} // namespace

TEST(StaffDrawer, MeasureWidthFollowsTheShortestValueNotTheTimeSignature) {
    Drawing d(0.1);
    std::pmr::monotonic_buffer_resource memory;
    const std::int32_t noteArea[18] = {640, 426, 460, 345, 307, 256, 192, 170, 128,
                                       96,  85,  64,  48,  64,  64,  64,  64,  64};
    for (std::int32_t type = 0; type <= kDurNone; ++type) {
        for (std::int32_t length : {1536, 1152, 672}) {
            MeasureDrawInfo m = Empty(memory, type, length);
            std::int32_t x = 100;
            StaffDrawResult result;
            d.drawer.DrawMeasure(d.surface, x, m, {}, result);
            EXPECT_EQ(x, 100 + 16 + noteArea[type]) << "type " << type << " length " << length;
            EXPECT_EQ(result.noteAreaX, 100 + 16);
        }
    }
    // With clef, key (none to show) and time signature: 55 + 32 more.
    MeasureDrawInfo first = Empty(memory, kDurNone);
    first.keySigChanged = first.timeSigChanged = true;
    std::int32_t x = 0;
    StaffDrawRequest header;
    header.drawHeader = true;
    StaffDrawResult result;
    d.drawer.DrawMeasure(d.surface, x, first, header, result);
    EXPECT_EQ(x, 55 + 32 + 16 + 64);
    // A forced width leaves the note area what the header and gap do not take.
    x = 0;
    header.forcedWidth = 300;
    d.drawer.DrawMeasure(d.surface, x, first, header, result);
    EXPECT_EQ(x, 300);
}

TEST(StaffDrawer, HeadsFlagsAndRestsUseTheirCharacters) {
    {
        ArrangedSong s("0 n71 1536"); // whole note: no stem
        s.Arrange(1);
        Drawing d(1.0);
        d.Draw(s);
        EXPECT_EQ(d.Glyphs(), "E");
        EXPECT_TRUE(d.surface.Lines(10).empty());
    }
    {
        ArrangedSong s("0 n64 384, 384 n64 1152"); // quarter, dotted half
        s.Arrange(1);
        Drawing d(1.0);
        d.Draw(s);
        EXPECT_EQ(d.Glyphs(), "AD");
        ASSERT_EQ(d.surface.Lines(10).size(), 2u);
        const auto stem = d.surface.Lines(10)[0];
        EXPECT_EQ(stem.x0, stem.x1);
        EXPECT_EQ(stem.y0, 20 * 40); // from the head
        EXPECT_EQ(stem.y1, 14 * 40); // up six positions
    }
    {
        ArrangedSong s("0 n64 192, 768 n77 192, 1152 n77 384"); // eighths up and down
        s.Arrange(1);
        Drawing d(1.0);
        d.Draw(s);
        // head, flag up, eighth and quarter rests, head, flag down, eighth rest, head
        EXPECT_EQ(d.Glyphs(), "APX[AQXA");
    }
}

TEST(StaffDrawer, SixtyFourthRestsDoNotBorrowTheFlagCharacters) {
    Drawing d(1.0);
    std::pmr::monotonic_buffer_resource memory;
    MeasureDrawInfo m = Empty(memory, kDurNone);
    RestDrawItem rests[3];
    const std::int32_t types[3] = {kDur64th, kDurDotted64th, kDurWhole};
    m.columns.emplace_back();
    for (int i = 0; i < 3; ++i) {
        rests[i].kind = kItemRest;
        rests[i].durationType = types[i];
        rests[i].position = 16;
        m.columns.back().push_back(&rests[i]);
    }
    std::int32_t x = 0;
    StaffDrawResult result;
    d.drawer.DrawMeasure(d.surface, x, m, {}, result);
    EXPECT_EQ(d.Glyphs(), "de`");
}

TEST(StaffDrawer, BeamsJoinStemEndsOneLinePerLevel) {
    ArrangedSong eighths("0 n72 192, 192 n74 192, 384 n72 192, 576 n71 192, 768 n72 768");
    eighths.Arrange(1);
    Drawing d(1.0);
    d.Draw(eighths);
    const auto beams = d.surface.Lines(30);
    ASSERT_EQ(beams.size(), 3u);
    for (const auto& b : beams) {
        EXPECT_EQ(b.y0, 22 * 40);
        EXPECT_EQ(b.y1, 22 * 40);
        EXPECT_LT(b.x0, b.x1);
    }
    EXPECT_EQ(d.Glyphs().find('Q'), std::string::npos); // no flags on beamed notes

    ArrangedSong sixteenths("0 n72 96, 96 n74 96, 192 n72 96, 288 n71 96, 384 n72 1152");
    sixteenths.Arrange(1);
    Drawing e(1.0);
    e.Draw(sixteenths);
    const auto lines = e.surface.Lines(30);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].y0, 22 * 40 - 80); // the second level two positions toward the heads
}

TEST(StaffDrawer, LyricsMoveDownARowWhenTheyWouldOverlap) {
    ArrangedSong s("0 text5=la, 10 text5=la, 20 text5=la, 30 text5=la, 40 text5=la, "
                   "50 text5=la, 1500 text5=la");
    s.Arrange(1);
    Drawing d(1.0);
    d.Draw(s);
    const auto texts = d.surface.Texts("Times New Roman");
    ASSERT_EQ(texts.size(), 7u);
    const std::int32_t rows[7] = {0, 1, 2, 3, 4, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(texts[i].y0, (26 + 4 + 4 * rows[i]) * 40) << i;
    // The first measure after a start empties the rows again.
    Drawing again(1.0);
    again.Draw(s);
    again.Draw(s);
    EXPECT_EQ(again.surface.Texts("Times New Roman")[7].y0, 30 * 40);
}

TEST(StaffDrawer, TiesArcFromTheirStartToTheirEnd) {
    ArrangedSong s("1152 n67 768");
    s.Arrange(2);
    Drawing d(1.0);
    d.Draw(s);
    const auto heads = d.surface.Texts("Vorlan");
    std::vector<RecordingSurface::Op> noteHeads;
    for (const auto& op : heads)
        if (op.text == "A")
            noteHeads.push_back(op);
    ASSERT_EQ(noteHeads.size(), 2u);
    const auto arcs = d.surface.OfKind(RecordingSurface::Op::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    const auto& arc = arcs[0];
    EXPECT_EQ(arc.x0, noteHeads[0].x0);
    EXPECT_EQ(arc.y0, noteHeads[0].y0 - 30);
    EXPECT_EQ(arc.x1, noteHeads[1].x0 + 100);
    EXPECT_EQ(arc.y1, arc.y0 + 180);
    EXPECT_EQ(arc.sx, arc.x1); // counter-clockwise from the right end over the top
    EXPECT_EQ(arc.ex, arc.x0);
    EXPECT_EQ(arc.sy, arc.y0);

    // On a new line the tie comes in from the left of the note.
    Drawing lines(1.0);
    StaffDrawResult result;
    std::int32_t x = 0;
    lines.drawer.DrawMeasure(lines.surface, x, s[0], {}, result);
    x = 0;
    StaffDrawRequest next;
    next.systemTop = 5000;
    next.drawHeader = true;
    lines.drawer.DrawMeasure(lines.surface, x, s[1], next, result);
    const auto incoming = lines.surface.OfKind(RecordingSurface::Op::Arc);
    ASSERT_EQ(incoming.size(), 1u);
    EXPECT_LT(incoming[0].x0, incoming[0].x1);
    EXPECT_GT(incoming[0].y0, 5000);

    // An end whose start was never drawn has no arc.
    Drawing alone(1.0);
    x = 0;
    alone.drawer.DrawMeasure(alone.surface, x, s[1], {}, result);
    EXPECT_TRUE(alone.surface.OfKind(RecordingSurface::Op::Arc).empty());
}

TEST(StaffDrawer, SelectionCurrentNoteAndNoteSpots) {
    ArrangedSong s("0 n64 384, 384 n65 384 n69 384, 768 n64 768");
    s.Arrange(1);
    Drawing d(1.0);
    std::vector<std::pair<std::int32_t, std::int32_t>> spots;
    StaffDrawRequest request;
    request.selectionStart = 384;
    request.selectionEnd = 500;
    request.currentTime = 384;
    request.currentIndex = 1;
    request.notePosition = [&](const StaffRect& r, std::int32_t tick, std::int32_t index) {
        EXPECT_EQ(r.right - r.left, d.drawer.HeadWidth(0));
        spots.emplace_back(tick, index);
    };
    d.Draw(s, 0, request);
    const auto heads = d.surface.Texts("Vorlan");
    ASSERT_GE(heads.size(), 4u);
    EXPECT_EQ(heads[0].color, (SurfaceColor{0, 0, 0}));
    EXPECT_EQ(heads[1].color, (SurfaceColor{255, 0, 0}));
    EXPECT_EQ(heads[2].color, (SurfaceColor{255, 0, 0}));
    EXPECT_EQ(heads.back().color, (SurfaceColor{0, 0, 0}));
    EXPECT_EQ(spots.size(), 4u);
    EXPECT_EQ(spots[2], std::make_pair(384, 1));
    const StaffDrawResult& r = d.results[0];
    EXPECT_TRUE(r.currentFound);
    EXPECT_EQ(r.currentY, 17 * 40); // pitch 69: the second space
    EXPECT_EQ(r.currentX, heads[2].x0 - r.noteAreaX);
}

TEST(StaffDrawer, HeaderShowsClefKeyAndTime) {
    ArrangedSong s("0 n60 1536", 384, kClefGrand);
    s.song->SetKeySignature(0, 2, 0);
    s.song->SetTimeSignature(0, 3, 4);
    s.Arrange(1);
    Drawing d(1.0);
    d.Draw(s);
    const auto clefs = d.surface.Texts("VorlanB");
    ASSERT_EQ(clefs.size(), 2u);
    EXPECT_EQ(clefs[0].text, "A");
    EXPECT_EQ(clefs[0].x0, 220);
    EXPECT_EQ(clefs[0].y0, 18 * 40);
    EXPECT_EQ(clefs[1].text, "B");
    EXPECT_EQ(clefs[1].y0, 36 * 40);
    std::vector<std::int32_t> sharps;
    for (const auto& op : d.surface.Texts("Vorlan"))
        if (op.text == "H")
            sharps.push_back(op.y0);
    // F and C sharp on each staff, the glyph's origin 30 units under its position.
    EXPECT_EQ(sharps,
              (std::vector<std::int32_t>{12 * 40 + 30, 15 * 40 + 30, 36 * 40 + 30, 39 * 40 + 30}));
    EXPECT_EQ(d.surface.Texts("Arial").size(), 5u); // measure number, 3/4 twice
    EXPECT_EQ(d.surface.Lines(30).size(), 1u);      // the thick line joining the staves
}

TEST(StaffDrawer, MeasureShownFromItsMiddleGetsTheCutMarker) {
    ArrangedSong s("0 n60 1536");
    s.Arrange(1);
    Drawing d(0.1);
    StaffDrawRequest request;
    request.fromTick = 768;
    std::int32_t x = 0;
    StaffDrawResult result;
    d.drawer.DrawMeasure(d.surface, x, s[0], request, result);
    const auto bitmaps = d.surface.OfKind(RecordingSurface::Op::Bitmap);
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].x1 - bitmaps[0].x0, 4);
    EXPECT_EQ(bitmaps[0].y1 - bitmaps[0].y0, 33);
    EXPECT_EQ(result.noteAreaX, 32 + 4 + 8 + 16); // time signature, marker, half gap, gap
    EXPECT_EQ(result.fromTickX, result.noteAreaX + 64 / 2);
}
