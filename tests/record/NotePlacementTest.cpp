#include <gtest/gtest.h>

#include "model/Song.h"
#include "model/SongDump.h"
#include "record/NotePlacement.h"

namespace {

std::string Place(int method, std::int32_t tempo = 500000, int tpq = 384) {
    std::vector<DetectedNote> notes(3);
    const std::uint32_t times[3][2] = {{1000000, 500000}, {2000000, 250000}, {2100000, 100000}};
    for (int i = 0; i < 3; ++i) {
        notes[i].start = times[i][0];
        notes[i].length = times[i][1];
        notes[i].note = static_cast<std::uint8_t>(60 + 4 * i);
        notes[i].velocity = 96;
    }
    Song list;
    list.SetTicksPerQuarter(tpq);
    PlaceDetectedNotes(notes, method, tempo, NoteDestination{1, 3, 73, 2}, list);
    EXPECT_EQ(list.TrackCount(), 2u);
    return DumpRecords(list);
}

} // namespace

TEST(NotePlacement, TheThreeRestMethodsAtTheSongsTempoAndResolution) {
    // 120 beats per minute at 384 ticks: 768 ticks a second.
    EXPECT_EQ(Place(kNoTimeDeletion),
              "768 1 note ch=3 key=60 vel=96 rel=0 dur=384 prog=73 bank=2\n"
              "1536 1 note ch=3 key=64 vel=96 rel=0 dur=192 prog=73 bank=2\n"
              "1612 1 note ch=3 key=68 vel=96 rel=0 dur=76 prog=73 bank=2\n");
    EXPECT_EQ(Place(kDeleteBeginningRest),
              "0 1 note ch=3 key=60 vel=96 rel=0 dur=384 prog=73 bank=2\n"
              "768 1 note ch=3 key=64 vel=96 rel=0 dur=192 prog=73 bank=2\n"
              "844 1 note ch=3 key=68 vel=96 rel=0 dur=76 prog=73 bank=2\n");
    EXPECT_EQ(Place(kDeleteAllRests),
              "0 1 note ch=3 key=60 vel=96 rel=0 dur=384 prog=73 bank=2\n"
              "384 1 note ch=3 key=64 vel=96 rel=0 dur=192 prog=73 bank=2\n"
              "576 1 note ch=3 key=68 vel=96 rel=0 dur=76 prog=73 bank=2\n");
    // 60 beats per minute at 96 ticks: 96 ticks a second.
    EXPECT_EQ(Place(kNoTimeDeletion, 1000000, 96).substr(0, 50),
              "96 1 note ch=3 key=60 vel=96 rel=0 dur=48 prog=73 ");
}
