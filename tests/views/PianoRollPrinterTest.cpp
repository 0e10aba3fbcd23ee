#include <gtest/gtest.h>

#include <set>

#include "RecordingSurface.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"
#include "views/PianoRollPrinter.h"
#include "views/PianoRollSettingsChoice.h"

namespace {

// An A4 page at 600 dpi inside 15 mm margins, as the exports lay it out.
constexpr std::int32_t kPageWidth = 4252, kPageHeight = 6661, kPerCm = 236;

std::string LongSong(int bars) {
    std::string text;
    for (int bar = 0; bar < bars; ++bar)
        text += std::to_string(bar * 1536) + " n" + std::to_string(48 + bar % 24) + " 1536, ";
    return text + "0 n60 1";
}

} // namespace

TEST(PianoRollPrinter, SystemsHoldWholeBarsAndFollowEachOtherWithoutGaps) {
    std::unique_ptr<Song> song = BuildSong(LongSong(40));
    ViewOptions options;
    PianoRollPrinter printer(*song, ViewFilter(), options);
    const std::int32_t pages = printer.CountPages(kPageWidth, kPageHeight, kPerCm, kPerCm);
    ASSERT_GT(pages, 0);
    const auto& systems = printer.Systems();
    ASSERT_GT(systems.size(), 1u);
    EXPECT_EQ(systems.front().start, 0);
    EXPECT_EQ(systems.back().end, 40 * 1536);
    for (std::size_t i = 0; i < systems.size(); ++i) {
        EXPECT_EQ(systems[i].start % 1536, 0) << i;
        EXPECT_EQ(systems[i].end % 1536, 0) << i;
        if (i > 0) {
            EXPECT_EQ(systems[i].start, systems[i - 1].end);
        }
        // As wide as the page allows, and no wider.
        const double width = (systems[i].end - systems[i].start) * printer.Drawer().PixelsPerTick();
        EXPECT_LE(width + printer.Drawer().Sizes().keyboardWidth, kPageWidth);
    }
    EXPECT_EQ(pages, static_cast<std::int32_t>((systems.size() + printer.SystemsPerPage() - 1) /
                                               printer.SystemsPerPage()));
    EXPECT_LE(printer.SystemsPerPage() * printer.SystemHeight(), kPageHeight);

    // Every bar number is printed once, across all pages; no bar is left out.
    std::set<std::string> numbers;
    for (std::int32_t page = 1; page <= pages; ++page) {
        RecordingSurface surface;
        printer.PaintPage(page, surface);
        for (const auto& op : surface.OfKind(RecordingSurface::Op::Text))
            if (op.font.face == "Arial" && op.font.weight == 400) { // not the bold title
                EXPECT_TRUE(numbers.insert(op.text).second) << op.text;
            }
    }
    for (int bar = 1; bar <= 40; ++bar)
        EXPECT_TRUE(numbers.count(std::to_string(bar))) << bar;
}

TEST(PianoRollPrinter, PrintedKeyboardByPianoTypeAndALongSongIsRefused) {
    std::unique_ptr<Song> song = BuildSong("0 n40 384, 384 n70 384");
    const ViewFilter all;
    EXPECT_EQ(PianoRollPrinter::PitchRange(*song, all, 0), std::make_pair(21, 108));
    EXPECT_EQ(PianoRollPrinter::PitchRange(*song, all, 1), std::make_pair(36, 96));
    // Fit to song: the whole octaves the notes lie in.
    EXPECT_EQ(PianoRollPrinter::PitchRange(*song, all, 2), std::make_pair(36, 71));

    std::unique_ptr<Song> longSong = BuildSong(LongSong(400));
    PianoRollPrinter printer(*longSong, all, ViewOptions());
    printer.SetPageLimit(2);
    EXPECT_EQ(printer.CountPages(kPageWidth, kPageHeight, kPerCm, kPerCm), 0);
    EXPECT_FALSE(printer.Refusal().empty());
}

TEST(PianoRollSettings, OnlyChangedValuesAreFlaggedAndLimitsHold) {
    ViewOptions options;
    PianoRollSettingsChoice choice = PianoRollSettingsChoice::From(options);
    EXPECT_EQ(choice.quarterLength, 30);
    choice.ApplyTo(options);
    EXPECT_FALSE(options.quarterNoteDisplayLength.changed);
    EXPECT_FALSE(options.colorMode.changed);
    choice.quarterLength = 80; // beyond the slider
    choice.colorMode = kColorByChannel;
    choice.pianoType = 2;
    choice.changeAllTracks = true;
    choice.ApplyTo(options);
    EXPECT_EQ(options.quarterNoteDisplayLength, 50);
    EXPECT_TRUE(options.quarterNoteDisplayLength.changed);
    EXPECT_EQ(options.colorMode, kColorByChannel);
    EXPECT_TRUE(options.colorMode.changed);
    EXPECT_EQ(options.printPianoType, 2);
    EXPECT_FALSE(options.showLyrics.changed);
    EXPECT_EQ(options.applyToAllTracks, 1);
}
