#include <gtest/gtest.h>

#include <cmath>

#include "RecordingSurface.h"
#include "StaffLayoutHelpers.h"
#include "model/ViewFilter.h"
#include "views/StaffPrinter.h"

namespace {

constexpr std::int32_t kPerCm = 236; // 600 pixels per inch

ViewOptions Treble() {
    ViewOptions options;
    options.clefType = kClefTreble;
    return options;
}

// `measures` measures of eighths on white keys, after one of sixty-fourths when
// `denseStart`.
std::unique_ptr<Song> Eighths(int measures, bool denseStart = false) {
    static const int kScale[8] = {60, 62, 64, 65, 67, 69, 71, 72};
    std::string text;
    int tick = 0;
    if (denseStart) {
        for (int i = 0; i < 64; ++i, tick += 24)
            text += std::to_string(tick) + " n72 24, ";
    }
    for (int i = 0; i < measures * 8; ++i, tick += 192)
        text += std::to_string(tick) + " n" + std::to_string(kScale[i % 8]) + " 192, ";
    return BuildSong(text);
}

std::int64_t LineWidth(const StaffPrinter::MeasureDrawInfoList& line) {
    std::int64_t total = 0;
    for (const auto& m : line)
        total += m->drawingWidth;
    return total;
}

} // namespace

TEST(StaffPrinter, ScalesComeFromTheResolutionAndThePrintoutScale) {
    EXPECT_EQ(StaffPrinter::PixelsPerCentimetre(600), 236);
    EXPECT_EQ(StaffPrinter::PixelsPerCentimetre(150), 59);
    double xs = 0, ys = 0;
    StaffPrinter::ComputeScales(kPerCm, kPerCm, 1.3, xs, ys);
    const double base = 236 / 472.4409448818898 * 1.3;
    EXPECT_NEAR(base, 0.6494, 0.0001);
    EXPECT_GE(xs, base);
    EXPECT_LT(xs, base * 1.02);
    EXPECT_DOUBLE_EQ(xs, ys);
    EXPECT_LE(700 * ys - std::floor(700 * ys), 0.1);
    // A different vertical resolution keeps its own scale, adjusted by the same steps.
    StaffPrinter::ComputeScales(100, 200, 1.0, xs, ys);
    EXPECT_NEAR(ys / xs, 2.0, 1e-9);
}

TEST(StaffPrinter, BrokenLinesFillThePageAndTheLastLineStaysNatural) {
    auto song = Eighths(40);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    const std::int32_t pages = printer.CountPages(4000, 6000, kPerCm, kPerCm);
    ASSERT_GE(pages, 1);
    std::size_t measures = 0;
    for (std::int32_t p = 1; p <= pages; ++p) {
        const auto page = printer.ArrangePage(p);
        for (std::size_t l = 0; l < page.size(); ++l) {
            const auto& line = page[l];
            measures += line.size();
            const bool last = p == pages && l + 1 == page.size();
            if (!last) {
                EXPECT_LE(LineWidth(line), 4000);
                EXPECT_GE(LineWidth(line), 4000 - static_cast<std::int64_t>(line.size()));
            } else {
                std::int64_t natural = 0;
                for (std::size_t i = 0; i < line.size(); ++i)
                    natural += StaffPrinter::NaturalWidth(*line[i], i == 0, printer.XScale());
                EXPECT_EQ(LineWidth(line), natural);
                EXPECT_LT(LineWidth(line), 4000);
            }
        }
    }
    EXPECT_EQ(measures, 40u);
    // Lines per page: as many as fit under the two title lines.
    const std::int32_t fit = (6000 - 2 * printer.TitleLineHeight() - 1) / printer.StaffLineHeight();
    EXPECT_EQ(static_cast<std::int32_t>(printer.ArrangePage(1).size()), fit);
    EXPECT_TRUE(printer.ArrangePage(pages + 1).empty());
}

TEST(StaffPrinter, HeldOverMeasuresStartTheNextLineWithClefAndKey) {
    auto song = Eighths(12);
    song->SetKeySignature(0, 2, 0);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    printer.CountPages(4000, 6000, kPerCm, kPerCm);
    const auto lines = printer.ArrangePage(1);
    ASSERT_GE(lines.size(), 2u);
    for (const auto& line : lines)
        EXPECT_TRUE(line.front()->keySigChanged);
    EXPECT_FALSE(lines[0][1]->keySigChanged);

    RecordingSurface surface;
    printer.PaintPage(1, surface);
    std::size_t clefs = 0, sharps = 0;
    for (const auto& op : surface.Texts("VorlanB"))
        clefs += op.text == "A";
    for (const auto& op : surface.Texts("Vorlan"))
        sharps += op.text == "H";
    EXPECT_EQ(clefs, lines.size());
    EXPECT_EQ(sharps, 2 * lines.size());
}

TEST(StaffPrinter, AMeasureWiderThanThePageGetsALineAtThePageWidth) {
    auto song = Eighths(3, true);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    printer.CountPages(2000, 6000, kPerCm, kPerCm);
    const auto page = printer.ArrangePage(1);
    const auto& first = page.at(0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->shortestType, kDur64th);
    EXPECT_EQ(first[0]->drawingWidth, 2000);
    RecordingSurface surface;
    printer.PaintPage(1, surface);
    std::int32_t rightmost = 0;
    for (const auto& op : surface.OfKind(RecordingSurface::Op::Line))
        rightmost = std::max({rightmost, op.x0, op.x1});
    EXPECT_LE(rightmost, 2000);
}

TEST(StaffPrinter, TitlesAreCentredAndTakeTheirRoom) {
    auto plain = Eighths(200);
    StaffPrinter untitled(*plain, ViewFilter(), Treble());
    const std::int32_t pagesPlain = untitled.CountPages(4000, 5500, kPerCm, kPerCm);
    RecordingSurface surface;
    untitled.PaintPage(1, surface);
    const auto titles = surface.Texts("Arial");
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles[0].text, "Untitled");
    EXPECT_EQ(titles[0].font.weight, 700);
    const std::int32_t width =
        static_cast<std::int32_t>(titles[0].text.size()) * titles[0].font.height / 2;
    EXPECT_EQ(titles[0].x0, (4000 - width) / 2);

    auto titled = Eighths(200);
    titled->title.Set(AString("Song\0", 5)); // as many files end their texts
    titled->author.Set("Someone");
    titled->copyright.Set("2024");
    titled->instructions.Set("Slowly");
    StaffPrinter printer(*titled, ViewFilter(), Treble());
    const std::int32_t pages = printer.CountPages(4000, 5500, kPerCm, kPerCm);
    RecordingSurface withTitles;
    printer.PaintPage(2, withTitles);
    const auto texts = withTitles.Texts("Arial");
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "Song");
    EXPECT_EQ(texts[0].x0, (4000 - 4 * texts[0].font.height / 2) / 2);
    EXPECT_EQ(texts[1].text, "Someone");
    EXPECT_EQ(texts[1].font.weight, 400);
    // Three more title lines leave room for fewer staff lines on each page.
    EXPECT_LT(printer.ArrangePage(1).size(), untitled.ArrangePage(1).size());
    EXPECT_GE(pages, pagesPlain);
    // Nothing is drawn below the page.
    for (const auto& op : withTitles.ops)
        EXPECT_LE(op.y0, 5500);
}

TEST(StaffPrinter, ATitleWiderThanThePageIsSetSmallerToFit) {
    auto song = Eighths(50);
    song->title.Set(std::string(400, 'W')); // far wider than the page at the title size
    StaffPrinter printer(*song, ViewFilter(), Treble());
    printer.CountPages(4000, 5500, kPerCm, kPerCm);
    RecordingSurface surface;
    printer.PaintPage(1, surface);
    const auto titles = surface.Texts("Arial");
    ASSERT_FALSE(titles.empty());
    const std::int32_t width =
        static_cast<std::int32_t>(titles[0].text.size()) * titles[0].font.height / 2;
    EXPECT_GE(titles[0].x0, 0);
    EXPECT_LE(titles[0].x0 + width, 4000);
    EXPECT_EQ(titles[0].text.size(), 400u); // all of it, only smaller
}

TEST(StaffPrinter, TinyPagesStillEnd) {
    auto song = Eighths(5);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    const std::int32_t pages = printer.CountPages(300, 100, kPerCm, kPerCm);
    EXPECT_EQ(pages, 5);
    RecordingSurface surface;
    printer.PaintPage(6, surface);
    printer.PaintPage(0, surface);
    EXPECT_TRUE(surface.ops.empty());
}

TEST(StaffPrinter, OnlyTheFilteredTrackIsPrinted) {
    auto song = BuildSong("0 t0 n60 1536, 0 t1 n72 1536, 1536 t1 n74 1536");
    ViewFilter second;
    second.ShowOnlyTrack(1);
    StaffPrinter printer(*song, second, Treble());
    printer.CountPages(4000, 6000, kPerCm, kPerCm);
    std::size_t notes = 0;
    for (const auto& line : printer.ArrangePage(1))
        for (const auto& m : line)
            for (const NoteDrawItem* n : Notes(*m)) {
                ++notes;
                EXPECT_NE(n->position, 22); // middle C belongs to track 0
            }
    EXPECT_EQ(notes, 2u);
}

namespace {

// Every drawing call in order, as text, to compare two paintings.
std::string Trace(const RecordingSurface& surface) {
    std::string trace;
    for (const auto& op : surface.ops)
        trace += std::to_string(op.kind) + " " + std::to_string(op.x0) + "," +
                 std::to_string(op.y0) + "," + std::to_string(op.x1) + "," + std::to_string(op.y1) +
                 " " + op.text + "\n";
    return trace;
}

// What a page's arrangement holds: measures, their widths and every item's place, ties
// and beams.
std::string Summary(const StaffPrinter::MeasureDrawInfoListList& lines) {
    std::string summary;
    for (const auto& line : lines) {
        for (const auto& m : line) {
            summary += "measure " + std::to_string(m->measureNumber) + " at " +
                       std::to_string(m->startTick) + " width " + std::to_string(m->drawingWidth) +
                       (m->keySigChanged ? " key" : "") + "\n";
            for (const auto& column : m->columns)
                for (const DrawItemInfo* item : column) {
                    summary += " " + std::to_string(item->kind) + "@" + std::to_string(item->time);
                    if (const auto* note = ItemAs<NoteDrawItem>(item, kItemNote))
                        summary += " p" + std::to_string(note->position) + " tie" +
                                   std::to_string(note->tieStart) + "/" +
                                   std::to_string(note->tieEnd) + " beam" +
                                   std::to_string(note->beamId);
                }
            summary += "\n";
        }
        summary += "--\n";
    }
    return summary;
}

std::string Paint(StaffPrinter& printer, std::int32_t page) {
    RecordingSurface surface;
    printer.PaintPage(page, surface);
    return Trace(surface);
}

} // namespace

TEST(StaffPrinter, APageIsArrangedTheSameWhateverWasArrangedBefore) {
    // Notes tied over many lines and pages, a pedal held across page ends, beams.
    std::string text = "0 n60 20000, 0 cc64=127, 9000 cc64=0, 0 text5=la";
    for (int i = 0; i < 200; ++i)
        text += ", " + std::to_string(20000 + i * 192) + " n" + std::to_string(64 + i % 5) + " 150";
    auto song = BuildSong(text);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    const std::int32_t pages = printer.CountPages(4000, 2000, kPerCm, kPerCm);
    ASSERT_GE(pages, 4);
    std::vector<std::string> inOrder;
    for (std::int32_t p = 1; p <= pages; ++p)
        inOrder.push_back(Summary(printer.ArrangePage(p)));
    for (std::int32_t p : {3, 1, pages, 2, 3})
        EXPECT_EQ(Summary(printer.ArrangePage(p)), inOrder[static_cast<std::size_t>(p - 1)]) << p;
    // Painting arranges the same page again, and the drawer joins a tie coming in to
    // where the page before left it, as a printout goes from page to page.
    std::vector<std::string> painted;
    for (std::int32_t p = 1; p <= pages; ++p)
        painted.push_back(Paint(printer, p));
    StaffPrinter again(*song, ViewFilter(), Treble());
    again.CountPages(4000, 2000, kPerCm, kPerCm);
    Paint(again, 2);
    EXPECT_EQ(Paint(again, 3), painted[2]);
}

TEST(StaffPrinter, ASongLongerThanThePageLimitIsRefusedBeforeItIsLaidOut) {
    // One note far away (tick 2^30 with four ticks a measure) or one endless note: a few
    // bytes of file that would make millions of pages.
    for (const auto& [text, measures] :
         {std::pair{"1073741824 n60 1", "268435457"}, std::pair{"0 n60 1073741824", "268435456"}}) {
        auto song = BuildSong(text, 1);
        StaffPrinter printer(*song, ViewFilter(), Treble());
        EXPECT_EQ(printer.PageLimit(), 10000); // the default
        EXPECT_EQ(printer.CountPages(4000, 6000, kPerCm, kPerCm), 0) << text;
        const std::string& why = printer.Refusal();
        EXPECT_TRUE(why.starts_with("Cannot print this song:\n\nIt is " + std::string(measures) +
                                    " measures long and would take at least "))
            << why;
        EXPECT_TRUE(why.ends_with(" pages; the limit is 10000 pages (setting \"MaxPrintPages\")."))
            << why;
        RecordingSurface surface;
        printer.PaintPage(1, surface);
        EXPECT_TRUE(surface.ops.empty());
    }

    // A song that looks short enough but is not: counting stops at the limit.
    auto song = Eighths(5);
    StaffPrinter printer(*song, ViewFilter(), Treble());
    printer.SetPageLimit(4);
    EXPECT_EQ(printer.CountPages(300, 100, kPerCm, kPerCm), 0);
    EXPECT_EQ(printer.Refusal(), "Cannot print this song:\n\nIt is 5 measures long and would take "
                                 "more than 4 pages; the limit is 4 pages (setting "
                                 "\"MaxPrintPages\").");
    StaffPrinter enough(*song, ViewFilter(), Treble());
    enough.SetPageLimit(5);
    EXPECT_EQ(enough.CountPages(300, 100, kPerCm, kPerCm), 5);
    EXPECT_EQ(enough.Refusal(), "");
}
