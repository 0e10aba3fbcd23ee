#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "edit/BlockOps.h"
#include "edit/Clipboard.h"

namespace {

std::string QuantizedBrief(const std::string& text, std::int32_t grid, bool beginnings,
                           bool durations) {
    auto song = BuildSong(text);
    SongIter it(*song);
    BlockOps::Quantize(it, 0, song->LastTick(), grid, beginnings, durations);
    return Brief(*song);
}

std::string VelocityList(Song& song) {
    std::string out;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        out += std::to_string(static_cast<const MidiMsgNote*>(it.Msg())->velocity) + " ";
    return out;
}

} // namespace

TEST(Quantize, BeginningsAndDurationsRoundToTheGridAboveHalf) {
    EXPECT_EQ(QuantizedBrief("47 n60 10", 96, true, false), "0:n60/10");
    EXPECT_EQ(QuantizedBrief("49 n60 10", 96, true, false), "96:n60/10");
    EXPECT_EQ(QuantizedBrief("48 n60 10", 96, true, false), "0:n60/10");
    EXPECT_EQ(QuantizedBrief("0 n60 48", 96, false, true), "0:n60/96");
    EXPECT_EQ(QuantizedBrief("0 n60 150", 96, false, true), "0:n60/192");
    EXPECT_EQ(QuantizedBrief("0 n60 144", 96, false, true), "0:n60/96");
    EXPECT_EQ(QuantizedBrief("0 n60 10", 96, false, false), "0:n60/10");
}

TEST(Quantize, MovedPointsCarryTheRestAlongAndMergeWhenTheyMeet) {
    // 40 rounds down onto 0 and takes the rest 40 earlier: 150 is then at 110 and rounds
    // to 96, which takes 300 to 246, rounding to 288.
    EXPECT_EQ(QuantizedBrief("0 n60 20, 40 n62 20, 150 n64 20, 300 n65 20", 96, true, false),
              "0:n60/20 0:n62/20 96:n64/20 288:n65/20");
}

TEST(Quantize, ANoteEndsWhereTheSamePitchStartsAgain) {
    EXPECT_EQ(QuantizedBrief("0 n60 200, 150 n60 50", 96, true, false), "0:n60/192 192:n60/50");
    // Another pitch leaves it sounding.
    EXPECT_EQ(QuantizedBrief("0 n60 200, 150 n61 50", 96, true, false), "0:n60/200 192:n61/50");
}

TEST(FitToTime, StepsScaleWithTheRoundingCarriedAndTheRestFollows) {
    // Length 3 + the last note's 1 = 4; to 6 ticks: 1.5 rounds down, 4.5 rounds down,
    // 3 stays exact; the rest moves by the 2 ticks gained.
    auto song = BuildSong("0 n60 1, 1 n61 1, 2 n62 1, 3 n63 1, 10 n64 1");
    SongIter it(*song);
    EXPECT_EQ(BlockOps::RangeLength(it, 0, 3), 4);
    BlockOps::FitToTime(it, 0, 3, 6, true);
    EXPECT_EQ(Brief(*song), "0:n60/1 1:n61/1 3:n62/1 4:n63/1 12:n64/1");
}

TEST(FitToTime, ShrinkingKeepsTheRestInPlaceWithoutTheFlag) {
    auto song = BuildSong("0 n60 300, 300 n62 300, 600 n64 300, 2000 n65 10");
    SongIter it(*song);
    BlockOps::FitToTime(it, 0, 600, 600, false);
    EXPECT_EQ(Brief(*song), "0:n60/200 200:n62/200 400:n64/200 2000:n65/10");
    BlockOps::FitToTime(it, 0, 400, 1200, true);
    EXPECT_EQ(Brief(*song), "0:n60/400 400:n62/400 800:n64/400 2600:n65/10");
}

TEST(SelectionProperties, CrescendoTruncatesAndDropsAnEndEqualToTheStart) {
    auto song = BuildSong("0 n60 1, 100 n61 1, 200 n62 1, 300 n63 1");
    SongIter it(*song);
    SelectionProps props;
    props.startVelocity = 10;
    props.endVelocity = 110;
    BlockOps::SetProperties(it, 0, 300, props);
    EXPECT_EQ(VelocityList(*song), "10 43 76 110 ");
    props.startVelocity = 110;
    props.endVelocity = 10;
    BlockOps::SetProperties(it, 0, 300, props);
    EXPECT_EQ(VelocityList(*song), "110 77 44 10 ");
    props.startVelocity = 50;
    props.endVelocity = 50;
    BlockOps::SetProperties(it, 0, 300, props);
    EXPECT_EQ(VelocityList(*song), "50 50 50 50 ");
    props.startVelocity = 20;
    props.endVelocity = 90;
    BlockOps::SetProperties(it, 100, 100, props);
    EXPECT_EQ(VelocityList(*song), "50 20 50 50 ");
}

TEST(Paste, ThreeCopiesOfABarFillThreeBars) {
    auto song = BuildSong("0 n60 384, 768 n62 384, 1536 n70 10");
    SongIter it(*song);
    auto bar = BlockOps::Copy(it, 0, 1535);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->length, 1536);
    PasteTarget keep;
    keep.placement = TrackPlacement::Keep;
    EXPECT_EQ(BlockOps::PasteCopies(it, 1536, PasteMethod::Insert, keep, *bar, 3, 0), 4608);
    EXPECT_EQ(Brief(*song), "0:n60/384 768:n62/384 1536:n60/384 2304:n62/384 3072:n60/384 "
                            "3840:n62/384 4608:n60/384 5376:n62/384 6144:n70/10");
    EXPECT_EQ(it.Tick(), 1536);
}

TEST(Paste, SpaceSeparatesCopiesAndWriteOverClearsOnlyTheFilteredTracks) {
    auto song = BuildSong("0 n60 10, 560 n70 10, 580 t1 n40 10, 700 n71 10");
    ViewFilter filter;
    filter.ShowOnlyTrack(0);
    SongIter it(*song, &filter);
    auto note = BlockOps::Copy(it, 0, 99);
    PasteTarget here;
    here.track = 0;
    BlockOps::PasteCopies(it, 400, PasteMethod::WriteOver, here, *note, 2, 50);
    EXPECT_EQ(Brief(*song), "0:n60/10 400:n60/10 550:n60/10 580:t1:n40/10 700:n71/10");
    // Copies that would not advance paste nothing.
    EXPECT_EQ(BlockOps::PasteCopies(it, 0, PasteMethod::Mix, here, *note, 2, -100), 0);
}

TEST(Paste, AClipboardFromAnotherResolutionIsConverted) {
    auto source = BuildSong("0 n60 96, 48 n62 48, 96 n64 24", 96);
    SongIter from(*source);
    auto copy = BlockOps::Copy(from, 0, 191);
    auto song = BuildSong("0 n50 10");
    SongIter it(*song);
    PasteTarget keep;
    keep.placement = TrackPlacement::Keep;
    BlockOps::Paste(it, 384, PasteMethod::Insert, keep, *copy);
    EXPECT_EQ(Brief(*song), "0:n50/10 384:n60/384 576:n62/192 768:n64/96");
    EXPECT_EQ(copy->TicksPerQuarter(), 96);
}

TEST(Paste, AssignByChannelFindsOrMakesTheTrack) {
    auto song = BuildSong("0 c3 p5 n60 10");
    song->GetTrack(0)->channel = 3;
    song->GetTrack(0)->program = 5;
    auto source = BuildSong("0 c3 p5 n62 10, 0 c9 p0 n36 10");
    SongIter from(*source);
    auto copy = BlockOps::Copy(from, 0, 10);
    SongIter it(*song);
    PasteTarget assign;
    assign.placement = TrackPlacement::AssignByChannel;
    BlockOps::Paste(it, 100, PasteMethod::Mix, assign, *copy);
    EXPECT_EQ(Brief(*song), "0:n60/10 100:n62/10 100:t1:n36/10");
    ASSERT_EQ(song->TrackCount(), 2u);
    EXPECT_EQ(song->GetTrack(1)->channel, 9);
}

TEST(Copy, StartsAtTheFirstEventUnlessRelative) {
    auto song = BuildSong("100 n60 10, 300 n62 10");
    SongIter it(*song);
    auto relative = BlockOps::Copy(it, 0, 299, true);
    auto fromFirst = BlockOps::Copy(it, 0, 299, false);
    EXPECT_EQ(Brief(*relative->song), "100:n60/10");
    EXPECT_EQ(relative->length, 300);
    EXPECT_EQ(Brief(*fromFirst->song), "0:n60/10");
    EXPECT_EQ(fromFirst->length, 200);
    EXPECT_FALSE(BlockOps::Copy(it, 10, 9));
}

TEST(DeleteSpace, LaterEventsMoveUpAndHiddenOnesWaitAtTheStart) {
    auto song = BuildSong("0 n60 10, 100 n61 10, 150 t1 n30 10, 200 n62 10, 300 n63 10");
    ViewFilter filter;
    filter.ShowOnlyTrack(0);
    SongIter it(*song, &filter);
    BlockOps::DeleteSpace(it, 100, 200);
    EXPECT_EQ(Brief(*song), "0:n60/10 100:t1:n30/10 100:n63/10");
}

TEST(CutAndPaste, PastingTheCutBackInsertsItWhereItWas) {
    auto song = BuildSong("0 n60 10, 0 cc7=90, 100 n61 10, 150 text5=la, 200 n62 10, 400 n63 1");
    const std::string before = Records(*song);
    SongIter it(*song);
    BlockOps::Cut(it, 100, 299);
    EXPECT_EQ(Brief(*song), "0:cc7=90 0:n60/10 200:n63/1");
    PasteTarget keep;
    keep.placement = TrackPlacement::Keep;
    BlockOps::Paste(it, 100, PasteMethod::Insert, keep, *Clipboard::Get());
    EXPECT_EQ(Records(*song), before);
}

TEST(Clear, RemovesOnlyWhatTheFilterShowsAndNothingMoves) {
    auto song = BuildSong("0 n60 10, 100 n61 10, 100 cc7=5, 200 n62 10");
    ViewFilter notes;
    notes.SetKind(kMsgNote);
    SongIter it(*song, &notes);
    auto removed = BlockOps::Clear(it, 100, 200);
    EXPECT_EQ(Brief(*song), "0:n60/10 100:cc7=5");
    EXPECT_EQ(Brief(*removed->song), "0:n61/10 100:n62/10");
}

TEST(Transpose, StaysWithinTheMidiRange) {
    auto song = BuildSong("0 n120 1, 10 n5 1");
    SongIter it(*song);
    BlockOps::Transpose(it, 0, 10, 12);
    BlockOps::Transpose(it, 10, 10, -20);
    EXPECT_EQ(Notes(*song), "0:127 10:0");
}

TEST(FitToTime, AFitThatWouldRunPastTheLastTickChangesNothing) {
    auto song = BuildSong("0 n60 10, 100 n62 10, 2100000000 n64 10, 2100000100 n65 10");
    const std::string before = Records(*song);
    SongIter it(*song);
    // The rest would have to move on past it...
    BlockOps::FitToTime(it, 0, 100, 100000000, true);
    EXPECT_EQ(Records(*song), before);
    // ...or the range's own last point would land past it.
    BlockOps::FitToTime(it, 2100000000, 2100000100, 100000000, false);
    EXPECT_EQ(Records(*song), before);
}

TEST(FitToTime, NotesTheViewHidesStretchWithTheTimeTheyStandIn) {
    auto song = BuildSong("0 n60 100, 0 t1 n40 100, 100 n62 100, 100 t1 n41 100");
    ViewFilter filter;
    filter.ShowOnlyTrack(0);
    SongIter it(*song, &filter);
    BlockOps::FitToTime(it, 0, 100, 400, true);
    EXPECT_EQ(Brief(*song), "0:n60/200 0:t1:n40/200 200:n62/200 200:t1:n41/200");
}
