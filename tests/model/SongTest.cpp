#include <gtest/gtest.h>

#include "model/Instruments.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "support/SongBuilder.h"

namespace {

std::vector<std::int32_t> PointTicks(Song& song) {
    std::vector<std::int32_t> ticks;
    for (SongTimeIter it(song); !it.AtEnd(); it.Next())
        ticks.push_back(it.Tick());
    return ticks;
}

} // namespace

TEST(Song, NewSongHasTheDefaults) {
    Song song;
    EXPECT_EQ(song.TicksPerQuarter(), 384);
    ASSERT_EQ(song.TempoCount(), 1u);
    std::int32_t tick = -1, tempo = 0;
    song.GetTempo(0, tick, tempo);
    EXPECT_EQ(tick, 0);
    EXPECT_EQ(tempo, 500000);
    ASSERT_EQ(song.SignatureCount(), 1u);
    const TimeAndKeySignature& sig = *song.GetSignature(0);
    EXPECT_EQ(sig.measure, 0);
    EXPECT_EQ(sig.numerator, 4);
    EXPECT_EQ(sig.denominator, 4);
    EXPECT_EQ(sig.key, 0);
    EXPECT_EQ(song.TrackCount(), 0u);
    EXPECT_EQ(song.DeviceFile().str(), "GENERAL.MDV");
    EXPECT_EQ(song.PointCount(), 0u);
}

TEST(Song, OutOfOrderRecordsShareTimePoints) {
    Song song;
    song.AddMsg(100, std::make_unique<MidiMsgNote>(0, 60, 100, 10));
    song.RewindInsertion();
    song.AddMsg(50, std::make_unique<MidiMsgNote>(0, 62, 100, 10));
    song.AddMsg(100, std::make_unique<MidiMsgNote>(0, 64, 100, 10));
    ASSERT_EQ(song.PointCount(), 2u);
    auto* first = song.Points().Head();
    auto* second = song.Points().Tail();
    EXPECT_EQ(first->delta, 50);
    EXPECT_EQ(second->delta, 50);
    EXPECT_EQ(second->msgs.Count(), 2u);
    EXPECT_EQ(song.LastTick(), 100);
}

TEST(Song, GoingBackWithoutRewindStillInsertsInOrder) {
    auto song = BuildSong("0 n60 1, 10 n61 1, 20 n62 1, 30 n63 1");
    song->AddMsg(20, std::make_unique<MidiMsgNote>(0, 70, 100, 1));
    song->AddMsg(5, std::make_unique<MidiMsgNote>(0, 71, 100, 1));
    song->AddMsg(10, std::make_unique<MidiMsgNote>(0, 72, 100, 1));
    EXPECT_EQ(PointTicks(*song), (std::vector<std::int32_t>{0, 5, 10, 20, 30}));
    EXPECT_EQ(song->Points().Head()->msgs.Count(), 1u);
}

// The insertion cursor must not trust the tick of a point that has gone.
TEST(Song, AddingAfterThePointBeforeTheCursorWentLandsAtItsTick) {
    auto song = BuildSong("50 n60 1");
    song->AddMsg(100, std::make_unique<MidiMsgNote>(0, 61, 100, 1)); // the cursor stays here
    SongTimeIter first(*song);
    first.RemovePoint();
    song->AddMsg(75, std::make_unique<MidiMsgNote>(0, 62, 100, 1));
    EXPECT_EQ(PointTicks(*song), (std::vector<std::int32_t>{75, 100}));
}

TEST(Song, ControlChangesReplaceMergeAndGoBeforeNotes) {
    auto song = BuildSong("0 n60 96, 0 cc7=10, 0 cc7=20");
    const std::string dump = DumpRecords(*song);
    EXPECT_EQ(dump, "0 0 cc ch=0 ctl=7 val=20\n"
                    "0 0 note ch=0 key=60 vel=100 rel=0 dur=96 prog=0 bank=-1\n");

    // The fine partner adds into its coarse controller; other channels stay apart.
    auto merged = BuildSong("0 cc7=1280, 0 cc39=5, 0 c1 cc39=9");
    EXPECT_EQ(DumpRecords(*merged), "0 0 cc ch=0 ctl=7 val=1285\n"
                                    "0 0 cc ch=1 ctl=39 val=9\n");
    // A second fine value replaces the first: the value stays within 14 bits, as a file
    // saved from it holds it.
    auto twice = BuildSong("0 cc1=16256, 0 cc33=68, 0 cc33=61");
    EXPECT_EQ(DumpRecords(*twice), "0 0 cc ch=0 ctl=1 val=16317\n");
}

TEST(Song, ChangingResolutionRescalesDeltasDurationsAndTempoTicks) {
    auto song = BuildSong("383 n60 192, 767 n62 100");
    song->SetTempo(768, 400000);
    ASSERT_TRUE(song->SetTicksPerQuarter(96));
    EXPECT_EQ(song->Points().Head()->delta, 95);
    EXPECT_EQ(song->Points().Head()->msgs[0]->duration, 48);
    EXPECT_EQ(song->Points().Tail()->delta, 96);
    EXPECT_EQ(song->LastTick(), 191);
    std::int32_t tick = 0, tempo = 0;
    song->GetTempo(1, tick, tempo);
    EXPECT_EQ(tick, 192);
    EXPECT_FALSE(song->SetTicksPerQuarter(0));
    EXPECT_EQ(song->TicksPerQuarter(), 96);
}

// A coarser resolution rounds each point's own tick: the music keeps its beats, and
// points that meet on one tick become one point with the earlier records first.
TEST(Song, CoarserResolutionKeepsBeatsAndMergesPointsThatMeet) {
    auto song = BuildSong("0 n60 10, 1 n61 10, 3 n62 10, 4 n63 10, 7 n64 10, 3840 n65 10");
    ASSERT_TRUE(song->SetTicksPerQuarter(96));
    EXPECT_EQ(PointTicks(*song), (std::vector<std::int32_t>{0, 1, 960}));
    std::string keys;
    for (SongTimeIter it(*song); !it.AtEnd(); it.Next()) {
        for (const MidiMsg* m : it.Point()->msgs)
            keys += std::to_string(static_cast<const MidiMsgNote*>(m)->key) + " ";
        keys += "| ";
    }
    EXPECT_EQ(keys, "60 61 62 | 63 64 | 65 | ");
}

// Ticks are 32-bit: a finer resolution that would carry the song, a note's end or a
// tempo change past the last tick is refused, and the song stays as it was.
TEST(Song, ResolutionThatWouldOverflowTicksIsRefused) {
    auto late = BuildSong("300000000 n60 48", 48);
    EXPECT_FALSE(late->SetTicksPerQuarter(480));
    EXPECT_EQ(late->TicksPerQuarter(), 48);
    EXPECT_EQ(late->LastTick(), 300000000);
    EXPECT_EQ(PointTicks(*late), (std::vector<std::int32_t>{300000000}));
    EXPECT_TRUE(late->SetTicksPerQuarter(96));
    EXPECT_EQ(late->LastTick(), 600000000);

    auto longNote = BuildSong("0 n60 300000000", 48);
    EXPECT_FALSE(longNote->SetTicksPerQuarter(480));
    EXPECT_EQ(longNote->Points().Head()->msgs[0]->duration, 300000000);

    auto lateTempo = BuildSong("0 n60 1", 48);
    lateTempo->SetTempo(300000000, 400000);
    EXPECT_FALSE(lateTempo->SetTicksPerQuarter(480));
}

TEST(Song, TrackLookupFollowsItsPrecedenceAndCreatesMissingTracks) {
    Song song;
    song.AddTrack(0, 5, -1);   // 0: channel 0, program 5
    song.AddTrack(255, 7, -1); // 1: program 7 on any channel
    song.AddTrack(3, 255, -1); // 2: channel 3, any program
    song.AddTrack(0, 5, -1);   // 3: overrides track 0 for (5, 0)
    EXPECT_EQ(song.FindTrack(0, 5), 3);
    EXPECT_EQ(song.FindTrack(9, 7), 1);
    EXPECT_EQ(song.FindTrack(3, 7), 1); // the program rule fills before the channel rule
    EXPECT_EQ(song.FindTrack(3, 40), 2);
    EXPECT_EQ(song.FindTrack(0, 255), 3); // any program: the first set cell of channel 0

    const std::uint16_t fresh = song.FindTrack(4, 40);
    EXPECT_EQ(fresh, 4);
    EXPECT_EQ(song.TrackCount(), 5u);
    EXPECT_EQ(song.FindTrack(4, 40), fresh);
    EXPECT_EQ(song.TrackCount(), 5u);
}

TEST(Song, TrackPropertiesRewriteTheTracksRecords) {
    auto song = BuildSong("0 n60 10, 0 t1 c2 n62 10, 5 cc7=3, 5 text5=la");
    song->SetTrackProperties(0, 9, 40, 3);
    EXPECT_EQ(DumpRecords(*song), "0 0 note ch=9 key=60 vel=100 rel=0 dur=10 prog=40 bank=3\n"
                                  "0 1 note ch=2 key=62 vel=100 rel=0 dur=10 prog=0 bank=-1\n"
                                  "5 0 cc ch=9 ctl=7 val=3\n"
                                  "5 0 text type=5 \"la\"\n");
    std::uint8_t ch = 0, prog = 0;
    std::int32_t bank = 0;
    song->GetTrackProperties(2, ch, prog, bank); // one past the last
    EXPECT_EQ(ch, 255);
    EXPECT_EQ(prog, 255);
    EXPECT_EQ(bank, -1);
}

TEST(Song, DeletingATrackRenumbersAndDropsEmptyPoints) {
    auto song = BuildSong("0 n60 10, 0 t1 n61 10, 10 t1 n62 10, 20 t2 n63 10, 30 t1 n64 10");
    song->DeleteTrack(1);
    EXPECT_EQ(DumpRecords(*song), "0 0 note ch=0 key=60 vel=100 rel=0 dur=10 prog=0 bank=-1\n"
                                  "20 1 note ch=0 key=63 vel=100 rel=0 dur=10 prog=0 bank=-1\n");
    EXPECT_EQ(song->TrackCount(), 2u);
    EXPECT_EQ(song->LastTick(), 20);
}

TEST(Song, ConsistencyLooksAtChannelsAndPrograms) {
    EXPECT_TRUE(BuildSong("0 c3 n60 1, 5 c3 cc7=1, 9 text1=x")->TracksConsistent());
    EXPECT_FALSE(BuildSong("0 c3 n60 1, 5 c4 n62 1")->TracksConsistent());
    EXPECT_FALSE(BuildSong("0 p1 n60 1, 5 p2 n62 1")->TracksConsistent());
    EXPECT_TRUE(BuildSong("0 c3 n60 1, 5 t1 c4 n62 1")->TracksConsistent());
}

TEST(Song, RecordsCompareByFieldsAndContent) {
    MidiMsgText a(5, "la"), b(5, "la"), c(5, "lo");
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(c));
    auto copy = a.Copy();
    EXPECT_TRUE(copy->IsEqual(a));
    MidiMsgNote n1(0, 60, 100, 10), n2(0, 60, 100, 11);
    EXPECT_FALSE(n1.IsEqual(n2));
    EXPECT_FALSE(n1.IsEqual(a));
}

TEST(Song, InstrumentNamesCoverTheWholeSet) {
    EXPECT_STREQ(InstrumentName(0), "Grand Piano");
    EXPECT_STREQ(InstrumentName(52), "Choir Aahs");
    EXPECT_STREQ(InstrumentName(127), "Gunshot");
    EXPECT_STREQ(InstrumentName(128), "");
}
