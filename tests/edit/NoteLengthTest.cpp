#include <gtest/gtest.h>

#include "edit/NoteLength.h"

namespace {
constexpr int kTpq = 384;
}

TEST(NoteLength, TheLadderWrapsAtBothEnds) {
    EXPECT_EQ(NoteLength::Longer(4 * kTpq, kTpq), 24);
    EXPECT_EQ(NoteLength::Shorter(24, kTpq), 4 * kTpq);
    EXPECT_EQ(NoteLength::Longer(kTpq, kTpq), 512); // quarter -> third (triplet half)
    EXPECT_EQ(NoteLength::Shorter(kTpq, kTpq), 256);
    // Beyond a whole note counts as a whole note.
    EXPECT_EQ(NoteLength::Longer(10 * kTpq, kTpq), 24);
}

TEST(NoteLength, BetweenRungsTheNearerOneCountsAndATieGoesUp) {
    // A dotted quarter (576) is nearer 1/3 (512) than 1/2 (768).
    EXPECT_EQ(NoteLength::LadderIndex(576, kTpq), 8);
    EXPECT_EQ(NoteLength::Longer(576, kTpq), 2 * kTpq);
    // Halfway between 1/4 (384) and 1/3 (512) is 448.
    EXPECT_EQ(NoteLength::LadderIndex(448, kTpq), 8);
    EXPECT_EQ(NoteLength::LadderIndex(447, kTpq), 7);
    EXPECT_EQ(NoteLength::LadderIndex(1, kTpq), 0);
}

TEST(NoteLength, ButtonsRecogniseDotsAndTriplets) {
    EXPECT_EQ(NoteLength::ButtonsFor(576, kTpq), (NoteLengthState{4, true, false}));
    EXPECT_EQ(NoteLength::ButtonsFor(512, kTpq), (NoteLengthState{4, false, true}));
    EXPECT_EQ(NoteLength::ButtonsFor(kTpq, kTpq), (NoteLengthState{4, false, false}));
    EXPECT_EQ(NoteLength::ButtonsFor(36, kTpq), (NoteLengthState{0, true, false}));
    EXPECT_EQ(NoteLength::ButtonsFor(4 * kTpq, kTpq), (NoteLengthState{6, false, false}));
    EXPECT_EQ(NoteLength::ButtonsFor(400, kTpq), (NoteLengthState{4, false, false}));
}

TEST(NoteLength, NewNotesTakeTheButtonsLength) {
    EXPECT_EQ(NoteLength::NewNoteTicks({4, false, false}, kTpq), 384);
    EXPECT_EQ(NoteLength::NewNoteTicks({4, true, false}, kTpq), 576);
    EXPECT_EQ(NoteLength::NewNoteTicks({0, true, true}, kTpq), 48);
    EXPECT_EQ(NoteLength::NewNoteTicks({3, false, true}, 72), 48);
    EXPECT_EQ(NoteLength::ButtonTicks({4, false, true}, kTpq), 512);
}

TEST(NoteLength, DotAndTriplet) {
    EXPECT_EQ(NoteLength::Dotted(385), 577);
    EXPECT_EQ(NoteLength::Tripleted(kTpq, kTpq), 512);
    EXPECT_EQ(NoteLength::Tripleted(2 * kTpq, kTpq), 2 * kTpq);
    EXPECT_EQ(NoteLength::Tripleted(24, kTpq), 24);
    EXPECT_EQ(NoteLength::Tripleted(25, kTpq), 33);
}
