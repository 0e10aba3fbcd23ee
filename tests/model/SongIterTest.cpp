#include <gtest/gtest.h>

#include "model/SongIter.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"

TEST(SongTimeIter, SeekLandsOnTheNextPointOrTheEnd) {
    auto song = BuildSong("0 n60 1, 100 n61 1, 200 n62 1");
    SongTimeIter it(*song);
    it.Seek(150);
    EXPECT_EQ(it.Tick(), 200);
    it.Seek(100);
    EXPECT_EQ(it.Tick(), 100);
    it.Seek(1);
    EXPECT_EQ(it.Tick(), 100);
    it.Seek(0);
    EXPECT_EQ(it.Tick(), 0);
    it.Seek(201);
    EXPECT_TRUE(it.AtEnd());
    it.Seek(200); // back from the end
    EXPECT_EQ(it.Tick(), 200);
    EXPECT_FALSE(it.AtEnd());
}

TEST(SongTimeIter, RemovingTheLastPointLowersTheSongLength) {
    auto song = BuildSong("0 n60 1, 100 n61 1, 250 n62 1");
    SongTimeIter it(*song);
    it.Seek(250);
    it.RemovePoint();
    EXPECT_TRUE(it.AtEnd());
    EXPECT_EQ(song->LastTick(), 100);
    EXPECT_EQ(it.Tick(), 100);
}

TEST(SongTimeIter, InsertedPointsTakeTheirDeltaFromTheirFollower) {
    auto song = BuildSong("0 n60 1, 100 n61 1");
    SongTimeIter it(*song);
    SongTimeIter other(*song);
    other.Seek(100);
    it.InsertAfter(40);
    EXPECT_EQ(it.Tick(), 40);
    EXPECT_EQ(song->Points().Tail()->delta, 60);
    EXPECT_EQ(other.Tick(), 100);
    other.InsertBefore(10); // 10 after the point before it, at 50
    EXPECT_EQ(other.Tick(), 50);
    EXPECT_THROW(it.InsertAfter(20), std::invalid_argument); // would pass the point at 50
    EXPECT_EQ(song->LastTick(), 100);
}

TEST(SongIter, OneTrackFilterSkipsOtherPointsAndGathersTheirDeltas) {
    auto song = BuildSong("0 n60 1, 10 t1 n61 1, 30 t1 n62 1, 70 n63 1");
    ViewFilter filter;
    filter.ShowOnlyTrack(0);
    SongIter it(*song, &filter);
    ASSERT_TRUE(it.Seek(0));
    EXPECT_EQ(it.Tick(), 0);
    it.ResetSkippedDelta();
    ASSERT_TRUE(it.Next());
    EXPECT_EQ(it.Tick(), 70);
    // The points at 10 and 30 were passed over.
    EXPECT_EQ(it.SkippedDelta(), 30);
    EXPECT_EQ(it.SkippedDelta() + it.Point()->delta, 70);
    EXPECT_FALSE(it.Next());
    EXPECT_TRUE(it.AtEnd());
}

TEST(SongIter, TextPassesChannelFiltersAndControllersPassInstrumentFilters) {
    auto song = BuildSong("0 c5 text5=la, 0 c5 cc7=1, 0 c5 p3 n60 1, 0 c2 p9 n62 1");
    ViewFilter filter;
    filter.SetAllChannels(false);
    filter.SelectChannel(2);
    filter.SetAllInstruments(false);
    filter.SelectInstrument(9);
    SongIter it(*song, &filter);
    std::vector<int> kinds;
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        kinds.push_back(it.Msg()->kind);
    EXPECT_EQ(kinds, (std::vector<int>{kMsgText, kMsgNote}));

    filter.SetAllChannels(true);
    kinds.clear();
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        kinds.push_back(it.Msg()->kind);
    EXPECT_EQ(kinds, (std::vector<int>{kMsgControlChange, kMsgText, kMsgNote}));
}

TEST(SongIter, RemovingRecordsWhileWalkingVisitsEveryOtherRecordOnce) {
    auto song = BuildSong("0 n60 1 n61 1 n62 1, 5 n63 1");
    SongIter walker(*song);
    SongIter watcher(*song);
    watcher.Seek(0);
    watcher.NextMsg(); // resting on n61
    std::vector<int> keys;
    for (bool ok = walker.Seek(0); ok; ok = walker.Next()) {
        auto* note = static_cast<MidiMsgNote*>(walker.Msg());
        keys.push_back(note->key);
        if (note->key == 60)
            walker.RemoveMsg();
    }
    EXPECT_EQ(keys, (std::vector<int>{60, 61, 62, 63}));
    EXPECT_EQ(static_cast<MidiMsgNote*>(watcher.Msg())->key, 61);
}

TEST(SongIter, IteratorsOutliveTheirSongSafely) {
    auto song = BuildSong("0 n60 1");
    SongIter it(*song);
    it.Seek(0);
    song.reset();
    EXPECT_TRUE(it.AtEnd());
    EXPECT_EQ(it.Msg(), nullptr);
    EXPECT_FALSE(it.Next());
}
