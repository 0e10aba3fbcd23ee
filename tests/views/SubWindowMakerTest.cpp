#include <gtest/gtest.h>

#include <filesystem>

#include "views/SubWindowMaker.h"

namespace {

const char kTemplate[] =
    "// a comment\n"
    "#include \"resource.h\"\n"
    "\n"
    "STRIP DIALOG 0, 0, 400, 15\n"
    "STYLE WS_CHILD | WS_VISIBLE\n"
    "CAPTION \"Strip\"\n"
    "FONT 8, \"Liberation Sans\"\n"
    "{\n"
    " PUSHBUTTON \"Track #1\", IDC_PLACEMENT_TRACK, 10, 4, 40, 12\n"
    " COMBOBOX IDC_VIEW_TYPE, -3, 2, 50, 60, CBS_DROPDOWNLIST | WS_TABSTOP\n"
    "\n"
    " CONTROL \"\", IDC_NOTE_4, \"Button\", BS_OWNERDRAW | WS_CHILD, 80, 1, 10, 12\n"
    " LTEXT \"Glued\", IDC_GLUED, 1, 1, 1, 1, WS_CHILD|WS_VISIBLE\n"
    " FANCYBOX IDC_UNKNOWN, 1, 1, 1, 1\n"
    " CHECKBOX \"Dot\", IDC_DOT_BUTTON, 95, 1, 10, 12\r\n"
    "}\n";

} // namespace

TEST(SubWindowMaker, ReadsControlsWithDoubledUnitsAndStyles) {
    SubWindowMaker maker = SubWindowMaker::FromText(kTemplate);
    EXPECT_EQ(maker.DialogWidth(), 400);
    EXPECT_EQ(maker.DialogHeight(), 15);
    ASSERT_EQ(maker.Controls().Count(), 5u);

    const SubWinControl* track = maker.Find("idc_placement_track");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->kind, SubWinControl::kPushButton);
    EXPECT_EQ(track->text.str(), "Track #1");
    EXPECT_EQ(track->x, 20);
    EXPECT_EQ(track->y, 8);
    EXPECT_EQ(track->width, 80);
    EXPECT_EQ(track->height, 24);
    EXPECT_EQ(track->style, 0x50000000u);

    const SubWinControl* type = maker.Find("IDC_VIEW_TYPE");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->kind, SubWinControl::kComboBox);
    EXPECT_EQ(type->x, -6);
    EXPECT_EQ(type->style, 0x3u | 0x00010000u);

    const SubWinControl* note = maker.Find("IDC_NOTE_4");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->kind, SubWinControl::kControl);
    EXPECT_EQ(note->text.str(), "Button");
    EXPECT_EQ(note->style, 0xBu | 0x40000000u);
    EXPECT_EQ(note->x, 160);

    // Style names glued to "|" form one unknown name.
    const SubWinControl* glued = maker.Find("IDC_GLUED");
    ASSERT_NE(glued, nullptr);
    EXPECT_EQ(glued->style, 0u);

    EXPECT_EQ(maker.Find("IDC_UNKNOWN"), nullptr);
    ASSERT_NE(maker.Find("IDC_DOT_BUTTON"), nullptr);
    EXPECT_EQ(maker.Find("IDC_NOT_THERE"), nullptr);
}

TEST(SubWindowMaker, OddInputEndsInOrder) {
    // Truncated in the middle of a statement, before the closing brace.
    const std::string full = kTemplate;
    for (std::size_t cut = 0; cut < full.size(); cut += 7) {
        SubWindowMaker maker = SubWindowMaker::FromText(full.substr(0, cut));
        EXPECT_LE(maker.Controls().Count(), 5u);
    }
    EXPECT_EQ(SubWindowMaker::FromText("").Controls().Count(), 0u);
    EXPECT_EQ(SubWindowMaker::FromText("NOT A DIALOG\n").Controls().Count(), 0u);
    EXPECT_EQ(SubWindowMaker(std::filesystem::path("/nonexistent/PIANOROL.DLG")).Controls().Count(),
              0u);
}

TEST(SubWindowMaker, ShippedTemplateHoldsEveryControlOfTheStrip) {
    SubWindowMaker maker(std::filesystem::path(VORLAUNE_RESOURCE_DIR) / "home" / "PIANOROL.DLG");
    for (const char* name :
         {"IDC_VIEW_TYPE", "IDC_VIEW_FILTER_BUTTON", "IDC_PLACEMENT_TRACK", "IDC_PLACEMENT_CHANNEL",
          "IDC_PLACEMENT_INSTRUMENT", "IDC_NOTE_64", "IDC_NOTE_32", "IDC_NOTE_16", "IDC_NOTE_8",
          "IDC_NOTE_4", "IDC_NOTE_2", "IDC_NOTE_1", "IDC_DOT_BUTTON", "IDC_TRIPLET_BUTTON",
          "IDC_REMOVE_BUTTON"}) {
        const SubWinControl* c = maker.Find(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_GT(c->width, 0) << name;
        EXPECT_LE(c->y + (c->kind == SubWinControl::kComboBox ? 24 : c->height), 32) << name;
    }
}
