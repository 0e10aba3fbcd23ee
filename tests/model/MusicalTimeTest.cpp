#include <gtest/gtest.h>

#include <chrono>

#include <random>

#include "model/Song.h"
#include "model/TimeTexts.h"

TEST(MusicalTime, FourFourAtTheDefaultResolution) {
    Song song;
    const MusicalTime t = song.TickToMusicalTime(1536);
    EXPECT_EQ(t, (MusicalTime{1, 0, 0}));
    EXPECT_EQ(FormatMusicalTime(t).str(), "2:1:0");
    std::int32_t inMeasure = -1;
    EXPECT_EQ(song.TickToMusicalTime(1536 + 384 * 2 + 5, &inMeasure), (MusicalTime{1, 2, 5}));
    EXPECT_EQ(inMeasure, 384 * 2 + 5);
}

TEST(MusicalTime, SignatureChangesSplitTheTimeline) {
    Song song;
    song.SetTimeSignature(2, 3, 4);
    EXPECT_EQ(song.TickToMusicalTime(3072), (MusicalTime{2, 0, 0}));
    EXPECT_EQ(song.TickToMusicalTime(3072 + 1152), (MusicalTime{3, 0, 0}));
    EXPECT_EQ(song.TickToMusicalTime(3072 + 1151), (MusicalTime{2, 2, 383}));
    EXPECT_EQ(song.MeasureToTick(3), 3072 + 1152);
}

TEST(MusicalTime, InvalidPositionsAreRefusedAndTheTempoDialogLowersTheBeat) {
    Song song;
    std::int32_t tick = -1;
    EXPECT_FALSE(song.MusicalTimeToTick({0, 4, 0}, tick));
    EXPECT_FALSE(song.MusicalTimeToTick({0, 0, 384}, tick));
    ASSERT_TRUE(TypedPositionToTick(song, {0, 4, 0}, tick));
    EXPECT_EQ(tick, 3 * 384);
    EXPECT_FALSE(TypedPositionToTick(song, {0, 1, 9999}, tick)); // no beat can hold it
    // A beat typed in the hundreds of millions is answered at once, not beat by beat.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(TypedPositionToTick(song, {98, 99999990, 0}, tick));
    EXPECT_EQ(tick, 98 * 1536 + 3 * 384);
    EXPECT_FALSE(TypedPositionToTick(song, {98, 2147483647, 9999}, tick));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(MusicalTime, RoundTripsOverManySignatureChanges) {
    std::mt19937 rng(7);
    static const int kResolutions[] = {48, 72, 96, 120, 144, 168, 192, 216, 240, 360, 384, 480};
    for (int tpq : kResolutions) {
        Song song;
        song.SetTicksPerQuarter(tpq);
        song.SetTimeSignature(2, 3, 4);
        song.SetTimeSignature(5, 7, 8);
        song.SetTimeSignature(6, 2, 2);
        song.SetTimeSignature(9, 5, 16);
        song.SetTimeSignature(12, 6, 8);
        for (int i = 0; i < 2000; ++i) {
            const std::int32_t tick =
                std::uniform_int_distribution<std::int32_t>(0, 40 * 4 * tpq)(rng);
            const MusicalTime mt = song.TickToMusicalTime(tick);
            std::int32_t back = -1;
            ASSERT_TRUE(song.MusicalTimeToTick(mt, back)) << FormatMusicalTime(mt).str();
            ASSERT_EQ(back, tick) << "tpq " << tpq << " at " << FormatMusicalTime(mt).str();
        }
    }
}

TEST(MusicalTime, PositionsParseAsUsersTypeThem) {
    MusicalTime t;
    ASSERT_TRUE(ParseMusicalTime(" 3:2:10", t));
    EXPECT_EQ(t, (MusicalTime{2, 1, 10}));
    EXPECT_FALSE(ParseMusicalTime("0:1:0", t));
    EXPECT_FALSE(ParseMusicalTime("1:1", t));
    EXPECT_FALSE(ParseMusicalTime("1:x:0", t));
    EXPECT_FALSE(ParseMusicalTime("1:1:0:0", t));
}

TEST(TempoList, LookupInsertionAndTheCursor) {
    Song song;
    song.SetTempo(1000, 400000);
    song.SetTempo(500, 600000);
    EXPECT_EQ(song.SetTempo(1000, 300000), 2u); // same tick: replaced, not added
    EXPECT_EQ(song.TempoCount(), 3u);
    EXPECT_EQ(song.TempoAt(700), 600000);
    std::int32_t tick = 0, tempo = 0;
    ASSERT_TRUE(song.NextTempo(tick, tempo));
    EXPECT_EQ(tick, 1000);
    EXPECT_EQ(tempo, 300000);
    EXPECT_FALSE(song.NextTempo(tick, tempo));
    EXPECT_EQ(song.FirstTempo(), 500000);
    EXPECT_EQ(TempoToBpm(500000), 120);
}

TEST(SignatureList, KeepPartsCopyWhatIsInForce) {
    Song song;
    song.SetKeySignature(0, 2, 0);
    song.SetTimeSignature(4, 3, 4); // new measure: copies key 2
    EXPECT_EQ(song.GetSignature(1)->key, 2);
    song.SetKeySignature(4, -3, 1); // existing measure: keeps 3/4
    EXPECT_EQ(song.GetSignature(1)->numerator, 3);
    EXPECT_EQ(song.GetSignature(1)->key, -3);
    song.SetTimeSignature(4, 6, 8); // keeps its key
    EXPECT_EQ(song.GetSignature(1)->key, -3);
    song.SetSignature(4, kKeepTime, 0, -7, 0); // seven flats means no key change
    EXPECT_EQ(song.GetSignature(1)->key, -3);
    song.SetTimeSignature(2, 2, 4); // inserted between
    EXPECT_EQ(song.GetSignature(1)->measure, 2);
    EXPECT_EQ(song.GetSignature(1)->key, 2);
    EXPECT_EQ(song.SignatureAtMeasure(3).numerator, 2);
}

TEST(TimeTexts, ListLinesOfTheTempoAndSignatureDialogs) {
    Song song;
    song.SetTempo(384 * 5 + 10, 600000);
    EXPECT_EQ(TempoListLine(song, 0).str(), "1:1:0  120 beats per minute");
    EXPECT_EQ(TempoListLine(song, 1).str(), "2:2:10  100 beats per minute");
    TimeAndKeySignature sig{2, 2, 3, 4, 5};
    EXPECT_EQ(SignatureListLine(sig).str(), "6:0:000  3/4  B (2 sharps)  Harmonic Minor");
    sig = {-6, 0, 4, 4, 0};
    EXPECT_EQ(SignatureListLine(sig).str(), "1:0:000  4/4  Gb (6 flats)  Major");
    EXPECT_STREQ(SignatureDialogKeyName(13), "A minor");
    EXPECT_EQ(SignatureDialogKeyValue(12), 6);
}
