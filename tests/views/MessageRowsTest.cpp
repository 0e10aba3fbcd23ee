// The rows of the Message view: which events get one, and how a row is cut into cells.
#include <gtest/gtest.h>

#include "model/Song.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"
#include "views/MidiMsgDisplay.h"

namespace {

std::vector<std::string> Texts(const MidiMsgRow& row) {
    std::vector<std::string> out;
    for (const auto& cell : row.cells)
        out.push_back(cell.text);
    return out;
}

} // namespace

TEST(MessageRows, EachKindHasItsFieldsAndLyricsShowAlone) {
    auto song = BuildSong("0 n60 96, 96 text5=la, 192 cc7=100, 192 bend8192, 288 at60=5, "
                          "300 cat4",
                          96);
    const auto rows = MidiMsgRows::Build(*song, nullptr, 0, 0, 30, 2000, 1000);
    ASSERT_EQ(rows.size(), 4u); // the two aftertouch events have no row
    EXPECT_EQ(Texts(rows[0]),
              (std::vector<std::string>{"1:1:0", "Note", "Track: 0", "Channel: 1", "Instrument: 0",
                                        "Bank: -1", "Pitch: 60", "Velocity: 100"}));
    EXPECT_EQ(Texts(rows[1]), (std::vector<std::string>{"1:2:0", "Lyric", "Track: 0", "la"}));
    EXPECT_EQ(rows[1].cells[3].width, MidiMsgRows::kTextWidth);
    // A controller row has four fields, a pitch-bend row three.
    EXPECT_EQ(rows[2].cells.size(), 2u + 4u);
    EXPECT_EQ(rows[2].cells[4].text, "Type: 7");
    EXPECT_EQ(Texts(rows[3]), (std::vector<std::string>{"1:3:0", "Pitch Bend", "Track: 0",
                                                        "Channel: 0", "Pos: 8192"}));
    EXPECT_EQ(rows[0].y, 30);
    EXPECT_EQ(rows[1].y, 30 + MidiMsgRows::kRowHeight);
}

TEST(MessageRows, RowsStopAtTheBottomAndCellsAtTheRightEdge) {
    auto song = BuildSong("0 n60 96, 96 n62 96, 192 n64 96, 288 n65 96", 96);
    // Room for two rows below a 30-pixel strip.
    EXPECT_EQ(MidiMsgRows::Build(*song, nullptr, 0, 0, 30, 1000, 30 + 2 * 20 + 19).size(), 2u);
    // The scroll bar passes rows over; the start time is the shared position.
    const auto later = MidiMsgRows::Build(*song, nullptr, 96, 1, 30, 1000, 500);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_EQ(later[0].songTick, 192);

    // 417 pixels less the scroll bar: time, kind and two fields (to 380), a third field
    // cut to end a pixel before the edge, none starting within 10 pixels of it.
    const auto narrow = MidiMsgRows::Build(*song, nullptr, 0, 0, 0, 417, 100);
    ASSERT_FALSE(narrow.empty());
    const auto& cells = narrow[0].cells;
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[4].x, 380);
    EXPECT_EQ(cells[4].x + cells[4].width, 400 - 1);
    const auto edge = MidiMsgRows::Build(*song, nullptr, 0, 0, 0, 17 + 385, 100);
    EXPECT_EQ(edge[0].cells.size(), 4u); // the fifth would start 5 pixels before the edge
}

TEST(MessageRows, ASongOfTempoAndProgramChangesOnlyShowsNothing) {
    Song song; // tempo changes and instruments are not events of the song
    song.SetTempo(0, 400000);
    song.SetTempo(384, 300000);
    EXPECT_TRUE(MidiMsgRows::Build(song, nullptr, 0, 0, 0, 800, 600).empty());
    // A filter that shows another track leaves the list empty too.
    auto two = BuildSong("0 n60 96, 0 t1 cat9", 96);
    ViewFilter filter;
    filter.ShowOnlyTrack(1);
    EXPECT_TRUE(MidiMsgRows::Build(*two, &filter, 0, 0, 0, 800, 600).empty());
}
