// One paint of the Staff view without pixels: which measures it shows, where times and x
// positions meet, and where the note heads are for the mouse.
#include <gtest/gtest.h>

#include "model/Song.h"
#include "model/ViewOptions.h"
#include "support/SongBuilder.h"
#include "views/RecordingSurface.h"
#include "views/StaffScreen.h"

namespace {

struct Painted {
    explicit Painted(const std::string& text, int tpq = 480) : song(BuildSong(text, tpq)) {}
    void Paint(std::int32_t scrollTime, std::int32_t width = 1200) {
        StaffScreen::Request request;
        request.scrollTime = scrollTime;
        request.width = width;
        screen.Paint(*song, nullptr, options, surface, request);
    }
    std::unique_ptr<Song> song;
    ViewOptions options;
    RecordingSurface surface;
    StaffScreen screen;
};

} // namespace

TEST(StaffScreen, MeasuresFillTheWidthFromTheScrollPosition) {
    Painted p("0 n60 480, 480 n62 480, 960 n64 480, 1440 n65 480, 1920 n67 1920", 480);
    p.Paint(0, 1200);
    const auto& m = p.screen.Measures();
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m[0].firstTick, 0);
    EXPECT_EQ(m[0].shownTicks, 1920);
    EXPECT_EQ(m[1].firstTick, 1920);
    for (std::size_t i = 1; i < m.size(); ++i)
        EXPECT_GE(m[i].noteX, m[i - 1].noteX + m[i - 1].width) << i;
    // Drawing stops once the width is used, with empty measures after the song's end.
    EXPECT_GT(m.back().noteX + m.back().width, 1200 - StaffScreen::kRightMargin);
    EXPECT_LT(m.back().noteX, 1200);
    EXPECT_EQ(p.screen.NoteSpots().size(), 5u);
}

TEST(StaffScreen, ScrolledIntoAMeasureItShowsFromThereAndHidesTheHeadsBefore) {
    Painted p("0 n60 480, 480 n62 480, 960 n64 480, 1440 n65 480, 1920 n67 480", 480);
    p.Paint(960);
    const StaffScreen::Cut cut = p.screen.GetCut();
    EXPECT_GT(cut.cutFrom, cut.headerEnd); // the first half of bar 1 is cut out
    const auto& m = p.screen.Measures();
    EXPECT_EQ(m[0].firstTick, 960);
    EXPECT_EQ(m[0].shownTicks, 960);
    EXPECT_EQ(m[0].noteX, cut.headerEnd);
    EXPECT_EQ(p.screen.FirstShownTick(), 960);
    for (const NoteSpot& spot : p.screen.NoteSpots())
        EXPECT_GE(spot.tick, 960);
    EXPECT_EQ(p.screen.NoteSpots().size(), 3u);
    // Heads stand in view coordinates: right of the header, in time order.
    EXPECT_GE(p.screen.NoteSpots()[0].rect.left, cut.headerEnd - 20);
    EXPECT_LT(p.screen.NoteSpots()[0].rect.left, p.screen.NoteSpots()[1].rect.left);
}

TEST(StaffScreen, TimesAndXPositionsConvertBothWaysWithSnapping) {
    Painted p("0 n60 1920, 1920 n62 1920", 480);
    p.Paint(0);
    const MouseMeasure first = p.screen.Measures()[0];
    // Five pixels left of the note area: the measure's first tick.
    EXPECT_EQ(p.screen.XToTime(first.noteX - 5), 0);
    // Snapped to eighths (240 at 480 a quarter): to the nearest eighth, so a time of 130
    // goes up to 240 and one of 110 down to 0.
    bool sawUp = false, sawDown = false;
    for (std::int32_t x = first.noteX; x < first.noteX + first.width; ++x) {
        const std::int32_t raw = *p.screen.XToTime(x);
        const std::int32_t snapped = *p.screen.XToTime(x, 240);
        EXPECT_EQ(snapped, (raw + 120) / 240 * 240) << x;
        sawUp |= raw > 120 && raw < 240 && snapped == 240;
        sawDown |= raw > 0 && raw < 120 && snapped == 0;
    }
    EXPECT_TRUE(sawUp);
    EXPECT_TRUE(sawDown);
    const auto x = p.screen.TimeToX(960);
    ASSERT_TRUE(x);
    EXPECT_NEAR(*p.screen.XToTime(*x), 960, 1920 / first.width + 1);
    EXPECT_FALSE(p.screen.TimeToX(-1));
    EXPECT_FALSE(p.screen.XToTime(first.noteX + first.width + 50).has_value() &&
                 p.screen.Measures().size() > 1 &&
                 *p.screen.XToTime(first.noteX + first.width + 50) < 1920);
}
