#include <gtest/gtest.h>

#include "model/ViewOptions.h"
#include "views/StaffAccidentals.h"
#include "views/StaffPlacement.h"
#include "views/StaffTables.h"

namespace {

StaffPlacement Clef(std::int32_t clef, std::int32_t split = 35) {
    StaffPlacement placement;
    placement.SetClef(clef, split);
    placement.SetStaffDistance(10);
    return placement;
}

} // namespace

TEST(StaffPlacement, EachClefPutsItsBottomAndTopLinesOnTheRightPitches) {
    struct Case {
        std::int32_t clef, bottomPitch, topPitch;
    };
    // Pitches on the bottom and top line of each clef.
    for (const Case& c :
         {Case{kClefTreble, 64, 77}, Case{kClefBass, 43, 57}, Case{kClefAlto, 53, 67},
          Case{kClefTenor, 50, 64}, Case{kClefOctaveTreble, 52, 65}}) {
        const StaffPlacement p = Clef(c.clef);
        EXPECT_EQ(p.Place(c.bottomPitch, 0).position, 20) << "clef " << c.clef;
        EXPECT_EQ(p.Place(c.topPitch, 0).position, 12) << "clef " << c.clef;
        EXPECT_EQ(p.Place(c.bottomPitch, 0).ledger, 0);
    }
}

TEST(StaffPlacement, LedgerLinesCountTowardTheStaff) {
    const StaffPlacement treble = Clef(kClefTreble);
    EXPECT_EQ(treble.Place(60, 0).position, 22); // middle C: one ledger line below
    EXPECT_EQ(treble.Place(60, 0).ledger, -2);
    EXPECT_EQ(treble.Place(62, 0).ledger, -1); // D hangs under the staff: none
    EXPECT_EQ(treble.Place(81, 0).position, 10);
    EXPECT_EQ(treble.Place(81, 0).ledger, 2); // A: one line above
    EXPECT_EQ(treble.Place(84, 0).ledger, 4); // C above it: two
    EXPECT_EQ(treble.Place(71, 0).ledger, 0); // inside the staff
}

TEST(StaffPlacement, GrandStaffSplitsAtTheChosenPitch) {
    // Split at middle C: middle C stays up with one ledger line, the B below goes down.
    const StaffPlacement middleC = Clef(kClefGrand, 35);
    NotePlace c4 = middleC.Place(60, 0);
    EXPECT_EQ(c4.staff, 0);
    EXPECT_EQ(c4.position, 22);
    EXPECT_EQ(c4.ledger, -2);
    NotePlace b3 = middleC.Place(59, 0);
    EXPECT_EQ(b3.staff, 1);
    EXPECT_EQ(b3.position, 23 + 10);
    EXPECT_EQ(b3.ledger, 0);
    // Bass clef lines: pitch 57 on the lower staff's top line (34), 43 on its bottom (42).
    EXPECT_EQ(middleC.Place(57, 0).position, 34);
    EXPECT_EQ(middleC.Place(43, 0).position, 42);
    NotePlace e2 = middleC.Place(40, 0);
    EXPECT_EQ(e2.position, 44);
    EXPECT_EQ(e2.ledger, -2);

    // Split at diatonic 32 (pitch 55): pitch 57 stays up under two ledger lines.
    const StaffPlacement low = Clef(kClefGrand, 32);
    NotePlace a3 = low.Place(57, 0);
    EXPECT_EQ(a3.staff, 0);
    EXPECT_EQ(a3.position, 24);
    EXPECT_EQ(a3.ledger, -4);
    EXPECT_EQ(low.Place(53, 0).staff, 1);

    // Split at diatonic 37 (pitch 64): pitch 62 goes down, over the bass staff on a ledger
    // line.
    const StaffPlacement high = Clef(kClefGrand, 37);
    NotePlace d4 = high.Place(62, 0);
    EXPECT_EQ(d4.staff, 1);
    EXPECT_EQ(d4.position, 31);
    EXPECT_EQ(d4.ledger, 3);
    EXPECT_EQ(high.Place(64, 0).staff, 0);
}

TEST(StaffPlacement, KeysChooseSharpsOrFlatsForBlackKeys) {
    const StaffPlacement treble = Clef(kClefTreble);
    EXPECT_EQ(treble.Place(70, 0).position, 17);  // A sharp on the A space
    EXPECT_EQ(treble.Place(70, -1).position, 16); // B flat on the middle line
    EXPECT_EQ(treble.Place(70, 7).position, 17);  // seven sharps spell sharps too
}

TEST(StaffPlacement, PositionsReadBackAsPitchesInTheKey) {
    const StaffPlacement treble = Clef(kClefTreble);
    EXPECT_EQ(treble.PositionToPitch(16, -1, 0), 70);  // middle line in F major: B flat
    EXPECT_EQ(treble.PositionToPitch(12, 1, 0), 78);   // top line in G major: F sharp
    EXPECT_EQ(treble.PositionToPitch(20, -1, 0), 64);  // E stays E in F major
    EXPECT_EQ(treble.PositionToPitch(-10, 0, 0), 115); // far above: pitch 115
    EXPECT_EQ(Clef(kClefBass).PositionToPitch(20, 0, 0), 43);

    // Every white key round-trips through its position in every clef.
    for (std::int32_t clef = 0; clef <= 5; ++clef) {
        const StaffPlacement p = Clef(clef);
        for (std::int32_t pitch = 24; pitch <= 100; ++pitch) {
            if (!PitchClassInScale(pitch % 12, 0, 0))
                continue;
            EXPECT_EQ(p.PositionToPitch(p.Place(pitch, 0).position, 0, 0), pitch)
                << "clef " << clef << " pitch " << pitch;
        }
    }
    // Between the staves of a grand staff the nearer staff's edge counts.
    const StaffPlacement grand = Clef(kClefGrand, 35);
    EXPECT_EQ(grand.PositionToPitch(23, 0, 0), 60);
    EXPECT_EQ(grand.PositionToPitch(28, 0, 0), 59);
    EXPECT_EQ(grand.PositionToPitch(22, 0, 0), 60);
}

TEST(StaffPlacement, ScalesOfEachMode) {
    EXPECT_TRUE(PitchClassInScale(9, 0, 1));   // A natural minor holds A
    EXPECT_FALSE(PitchClassInScale(8, 0, 1));  // but not G sharp
    EXPECT_TRUE(PitchClassInScale(8, 0, 2));   // harmonic minor does
    EXPECT_FALSE(PitchClassInScale(5, 0, 3));  // no F in C pentatonic
    EXPECT_TRUE(PitchClassInScale(6, 0, 4));   // F sharp in the whole-tone scale on C
    EXPECT_TRUE(PitchClassInScale(10, -1, 0)); // B flat in F major
}

TEST(StaffAccidentals, MarksFollowTheKeyAndLastUntilTheBarLine) {
    StaffAccidentals acc;
    acc.Reset(1); // G major
    const std::int32_t f5 = 7 * 6 + 3;
    EXPECT_EQ(acc.Mark(f5, 6, 1), kAccNone);     // F sharp: in the key
    EXPECT_EQ(acc.Mark(f5, 5, 1), kAccNatural);  // F natural after it
    EXPECT_EQ(acc.Mark(f5, 5, 1), kAccNone);     // again: already natural
    EXPECT_EQ(acc.Mark(f5, 6, 1), kAccSharp);    // sharp again needs its sign back
    EXPECT_EQ(acc.Mark(f5 - 7, 6, 1), kAccNone); // other octave: untouched by the above

    acc.Reset(0);
    const std::int32_t c5 = 35;
    EXPECT_EQ(acc.Mark(c5, 1, 0), kAccSharp);
    EXPECT_EQ(acc.Mark(c5, 1, 0), kAccNone);
    EXPECT_EQ(acc.Mark(c5, 0, 0), kAccNatural);

    acc.Reset(-2); // B flat and E flat
    EXPECT_EQ(acc.State(6), kAccFlat);
    EXPECT_EQ(acc.State(2), kAccFlat);
    EXPECT_EQ(acc.State(5), kAccNone);
    acc.Reset(7); // shown as six sharps: B is not marked
    EXPECT_EQ(acc.State(3), kAccSharp);
    EXPECT_EQ(acc.State(6), kAccNone);
}

TEST(StaffAccidentals, TopPitchesStayInsideTheTable) {
    StaffAccidentals acc;
    acc.Reset(-3);
    // Pitch 126 spelled G flat 10 and pitch 127 (G10) use the last diatonic slot.
    EXPECT_EQ(acc.Mark(74, 6, -3), kAccFlat);
    EXPECT_EQ(acc.Mark(74, 7, -3), kAccNatural);
    EXPECT_EQ(acc.Mark(75, 0, 0), kAccNone);
    EXPECT_EQ(acc.Mark(-1, 1, 0), kAccNone);
}
