#include <gtest/gtest.h>

#include "model/SongIter.h"
#include "support/SongBuilder.h"

TEST(SongShift, CursorsAtAndAfterThePointMoveWithIt) {
    auto song = BuildSong("0 n60 1, 100 n61 1, 200 n62 1");
    SongTimeIter before(*song), at(*song), after(*song), end(*song);
    before.Seek(0);
    at.Seek(100);
    after.Seek(200);
    end.Seek(1000);
    song->ShiftPoints(at.GetNode(), at.Tick(), 50);
    EXPECT_EQ(before.Tick(), 0);
    EXPECT_EQ(at.Tick(), 150);
    EXPECT_EQ(after.Tick(), 250);
    EXPECT_EQ(end.Tick(), 250);
    EXPECT_EQ(song->LastTick(), 250);
    song->ShiftPoints(at.GetNode(), at.Tick(), -150);
    EXPECT_EQ(at.Tick(), 0);
    EXPECT_EQ(after.Tick(), 100);
    EXPECT_THROW(song->ShiftPoints(after.GetNode(), after.Tick(), -101), std::invalid_argument);
}

// Points joined by a zero delta share a tick; shifting the later one leaves cursors on
// the earlier one where they are.
TEST(SongShift, CursorsOnEarlierPointsOfTheSameTickStay) {
    auto song = BuildSong("0 n59 1, 100 n60 1, 200 n62 1");
    SongTimeIter earlier(*song);
    earlier.Seek(100);
    SongTimeIter later(earlier);
    later.InsertAfter(0);
    SongTimeIter also(later);
    song->ShiftPoints(later.GetNode(), 100, 50);
    EXPECT_EQ(earlier.Tick(), 100);
    EXPECT_EQ(later.Tick(), 150);
    EXPECT_EQ(also.Tick(), 150);
    EXPECT_EQ(song->TickOf(earlier.GetNode()), 100);
    EXPECT_EQ(song->TickOf(later.GetNode()), 150);
    // Back onto the same tick, and the earlier point still comes first.
    song->ShiftPoints(later.GetNode(), 150, -50);
    EXPECT_EQ(later.Tick(), 100);
    EXPECT_EQ(std::next(earlier.GetNode()), later.GetNode());
}

// Ticks are 32-bit: no point may be moved or added past the last one.
TEST(SongShift, NothingGoesPastTheLastTick) {
    auto song = BuildSong("0 n60 1, 2000000000 n61 1");
    SongTimeIter last(*song);
    last.Seek(2000000000);
    EXPECT_THROW(song->ShiftPoints(last.GetNode(), last.Tick(), kEndTick - 2000000000 + 1),
                 std::invalid_argument);
    EXPECT_THROW(song->InsertPointBefore(song->Points().End(), kEndTick - 2000000000 + 1),
                 std::invalid_argument);
    EXPECT_EQ(song->LastTick(), 2000000000);
    song->ShiftPoints(last.GetNode(), last.Tick(), kEndTick - 2000000000);
    EXPECT_EQ(song->LastTick(), kEndTick);
    // A caller whose idea of the point's tick is wrong is told so.
    EXPECT_THROW(song->ShiftPoints(last.GetNode(), 5, -1), std::logic_error);
}

TEST(SongShift, ReplacedRecordsKeepCursorsInsideThePoint) {
    auto song = BuildSong("0 n60 1 n61 1 n62 1");
    SongIter it(*song);
    it.Seek(0);
    it.NextMsg();
    it.NextMsg();
    std::vector<std::unique_ptr<MidiMsg>> one;
    one.push_back(std::make_unique<MidiMsgNote>(0, 70, 100, 1));
    song->ReplacePointMsgs(*it.Point(), std::move(one));
    ASSERT_NE(it.Msg(), nullptr);
    EXPECT_EQ(static_cast<const MidiMsgNote*>(it.Msg())->key, 70);
    song->InsertIntoPoint(*it.Point(), 0, std::make_unique<MidiMsgControlChange>(0, 7, 1));
    EXPECT_EQ(static_cast<const MidiMsgNote*>(it.Msg())->key, 70);
}
