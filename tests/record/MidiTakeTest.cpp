// MIDI recording: the take built from what is drained from the ports' rings.
#include <gtest/gtest.h>

#include <vector>

#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "record/MidiRecordRing.h"
#include "record/MidiTakeBuilder.h"

namespace {

MidiRecordEntry Msg(std::uint8_t status, std::uint8_t d1, std::uint8_t d2, std::uint32_t ms) {
    return MidiRecordEntry{status, d1, d2, ms};
}

// The records of a take, one per line, without the song's header.
std::string Records(Song& take) {
    return DumpRecords(take);
}

} // namespace

TEST(MidiTakeBuilder, NotesPairAndEndByNoteOffOrVelocityZero) {
    Song take;
    take.SetTicksPerQuarter(96);
    MidiTakeBuilder builder(take, 500000, true); // 0.192 ticks a millisecond
    builder.BeginDrain();
    builder.Add(Msg(0xC1, 40, 0, 50));    // a program change before anything else...
    builder.Add(Msg(0x91, 60, 90, 1000)); // ...does not start the clock: this does
    builder.Add(Msg(0x91, 64, 80, 1500));
    builder.Add(Msg(0x91, 64, 85, 2000)); // the same key again: the note starts anew
    builder.Add(Msg(0x91, 60, 0, 2000));  // velocity 0 ends a note, release 0
    builder.Add(Msg(0x81, 64, 33, 3000)); // a note-off keeps its release velocity
    builder.Add(Msg(0x81, 67, 33, 3000)); // nothing held on 67: nothing happens
    builder.Add(Msg(0x91, 72, 70, 3000)); // still held at the end: no record
    builder.Add(Msg(0x91, 74, 70, 3001));
    builder.Add(Msg(0x81, 74, 0, 3002)); // a tap shorter than a tick is one tick
    EXPECT_EQ(builder.PendingNotes(), 1u);
    EXPECT_EQ(Records(take), "0 0 note ch=1 key=60 vel=90 rel=0 dur=192 prog=40 bank=-1\n"
                             "192 0 note ch=1 key=64 vel=85 rel=33 dur=192 prog=40 bank=-1\n"
                             "384 0 note ch=1 key=74 vel=70 rel=0 dur=1 prog=40 bank=-1\n");
}

TEST(MidiTakeBuilder, BanksControllersAndPitchBend) {
    Song take;
    take.SetTicksPerQuarter(96);
    MidiTakeBuilder builder(take, 500000, false); // times from the start of input
    builder.BeginDrain();
    builder.Add(Msg(0xB2, 0, 3, 1000));  // bank MSB ...
    builder.Add(Msg(0xB2, 32, 5, 1000)); // ... and LSB in one drain: 3 × 128 + 5
    builder.Add(Msg(0x92, 60, 100, 1000));
    builder.Add(Msg(0x82, 60, 0, 2000));
    builder.Add(Msg(0xB2, 64, 100, 2000));    // a controller without a fine partner
    builder.Add(Msg(0xB2, 1, 64, 2000));      // one with a partner holds 14 bits
    builder.Add(Msg(0xE2, 0x00, 0x40, 2000)); // centre of the bend
    builder.BeginDrain();
    builder.Add(Msg(0xB2, 32, 9, 2500)); // an LSB after other messages starts from 0
    builder.Add(Msg(0x92, 62, 100, 2500));
    builder.Add(Msg(0x82, 62, 0, 3000));
    builder.Add(Msg(0xD2, 50, 0, 3000)); // pressure is not recorded
    EXPECT_EQ(Records(take), "192 0 note ch=2 key=60 vel=100 rel=0 dur=192 prog=0 bank=389\n"
                             "384 0 cc ch=2 ctl=64 val=100\n"
                             "384 0 cc ch=2 ctl=1 val=8192\n"
                             "384 0 cc ch=2 ctl=255 val=8192\n"
                             "480 0 note ch=2 key=62 vel=100 rel=0 dur=96 prog=0 bank=9\n");
}

// The first message may come at 0 ms: it is the start of the take all the same, and the
// messages after it keep their times.
TEST(MidiTakeBuilder, AFirstMessageAtZeroIsTheStartOfTheTake) {
    Song take;
    take.SetTicksPerQuarter(96);
    MidiTakeBuilder builder(take, 500000, true);
    builder.BeginDrain();
    builder.Add(Msg(0x90, 60, 90, 0));
    builder.Add(Msg(0x80, 60, 0, 500));
    builder.Add(Msg(0x90, 62, 90, 500));
    builder.Add(Msg(0x80, 62, 0, 1000));
    EXPECT_EQ(Records(take), "0 0 note ch=0 key=60 vel=90 rel=0 dur=96 prog=0 bank=-1\n"
                             "96 0 note ch=0 key=62 vel=90 rel=0 dur=96 prog=0 bank=-1\n");
}
