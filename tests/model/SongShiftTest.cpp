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
