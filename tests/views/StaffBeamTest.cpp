#include <gtest/gtest.h>

#include "StaffLayoutHelpers.h"

namespace {

std::vector<const NoteDrawItem*> NotesAt(const MeasureDrawInfo& m, std::int32_t time) {
    std::vector<const NoteDrawItem*> found;
    for (const NoteDrawItem* n : Notes(m))
        if (n->time == time)
            found.push_back(n);
    return found;
}

const NoteDrawItem* NoteAt(const MeasureDrawInfo& m, std::int32_t time) {
    auto found = NotesAt(m, time);
    return found.empty() ? nullptr : found.front();
}

} // namespace

TEST(StaffBeams, EighthsAreBeamedWithinEachBeatGroup) {
    // Eight eighths in 4/4: one beam per half-measure group.
    ArrangedSong s("0 n72 192, 192 n74 192, 384 n72 192, 576 n71 192, "
                   "768 n69 192, 960 n71 192, 1152 n72 192, 1344 n74 192");
    const MeasureDrawInfo& m = s.Arrange(1);
    const auto notes = Notes(m);
    ASSERT_EQ(notes.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(notes[i]->beamId, notes[i < 4 ? 0 : 4]->beamId) << i;
        EXPECT_TRUE(notes[i]->HasStem());
        EXPECT_FALSE(notes[i]->StemUp()); // high notes: stems down
    }
    EXPECT_NE(notes[0]->beamId, notes[4]->beamId);
    EXPECT_GE(notes[0]->beamId, 0);
    // One flat beam at six below the lowest head (pitch 71 is on position 16).
    EXPECT_EQ(notes[0]->stemEnd, 16 + 6);
    EXPECT_EQ(notes[1]->beamCount, 1);
    EXPECT_EQ(notes[0]->beamCount, 0);
}

TEST(StaffBeams, ToleranceDecidesWhetherDetachedNotesJoin) {
    const std::string text = "0 n60 180, 192 n62 180, 384 n60 768";
    ArrangedSong tight(text);
    const MeasureDrawInfo& a = tight.Arrange(1);
    EXPECT_EQ(NoteAt(a, 0)->beamId, -1); // 12 ticks apart, tolerance 3
    EXPECT_EQ(NoteAt(a, 192)->beamId, -1);
    EXPECT_EQ(NoteAt(a, 0)->flags & NoteDrawItem::kOwnsChordStem, NoteDrawItem::kOwnsChordStem);

    ArrangedSong loose(text);
    ViewOptions options;
    options.clefType = kClefTreble;
    options.beamNoteTolerance = 0.1; // 18 ticks
    loose.arranger->Configure(options);
    const MeasureDrawInfo& b = loose.Arrange(1);
    EXPECT_GE(NoteAt(b, 0)->beamId, 0);
    EXPECT_EQ(NoteAt(b, 0)->beamId, NoteAt(b, 192)->beamId);
}

TEST(StaffBeams, BeamLevelsAndPartialBeams) {
    // Eighth, sixteenth, sixteenth: one full beam, then two; the partial beam the first
    // sixteenth would carry is cleared by its equal neighbour.
    ArrangedSong a("0 n72 192, 192 n72 96, 288 n72 96, 384 n72 384, 768 n72 768");
    const MeasureDrawInfo& m = a.Arrange(1);
    EXPECT_EQ(NoteAt(m, 192)->beamCount, 1);
    EXPECT_EQ(NoteAt(m, 192)->partialBeamCount, 0);
    EXPECT_EQ(NoteAt(m, 288)->beamCount, 2);

    // Sixteenth then eighth: the first note keeps a partial beam pointing right.
    ArrangedSong b("0 n72 96, 96 n72 192, 288 n72 96, 384 n72 384, 768 n72 768");
    const MeasureDrawInfo& n = b.Arrange(1);
    const NoteDrawItem* first = NoteAt(n, 0);
    EXPECT_EQ(first->beamCount, 1);
    EXPECT_EQ(first->beamEnd, 1);
    EXPECT_EQ(first->partialBeamCount, 1);
    EXPECT_EQ(first->partialBeamSide, 1);
    EXPECT_EQ(NoteAt(n, 96)->beamCount, 1);
    // Eighth then sixteenth: the sixteenth's extra beam points left.
    const NoteDrawItem* last = NoteAt(n, 288);
    EXPECT_EQ(last->beamCount, 1);
    EXPECT_EQ(last->partialBeamCount, 1);
    EXPECT_EQ(last->partialBeamSide, -1);
}

TEST(StaffBeams, TripletsAreBeamedInTheirOwnPass) {
    ArrangedSong s("0 n67 128, 128 n69 128, 256 n71 128, 384 n72 192, 576 n74 192, 768 n72 768");
    const MeasureDrawInfo& m = s.Arrange(1);
    const NoteDrawItem* t = NoteAt(m, 0);
    EXPECT_EQ(t->durationType, kDur8thTriplet);
    EXPECT_GE(t->beamId, 0);
    EXPECT_EQ(NoteAt(m, 256)->beamId, t->beamId);
    EXPECT_TRUE(t->flags & NoteDrawItem::kTripletBeam);
    // The plain eighths after them make a beam of their own.
    const NoteDrawItem* e = NoteAt(m, 384);
    EXPECT_GE(e->beamId, 0);
    EXPECT_NE(e->beamId, t->beamId);
    EXPECT_FALSE(e->flags & NoteDrawItem::kTripletBeam);
}

TEST(StaffBeams, ChordsAcrossColumnsShareOneBeamAndOneStemEach) {
    // Stems go up; in each column the lowest head starts the stem.
    ArrangedSong s("0 n67 192 n60 192, 192 n64 192 n62 192, 384 n60 1152");
    const MeasureDrawInfo& m = s.Arrange(1);
    for (std::int32_t time : {0, 192}) {
        auto chord = NotesAt(m, time);
        ASSERT_EQ(chord.size(), 2u);
        EXPECT_EQ(chord[0]->beamId, chord[1]->beamId);
        const NoteDrawItem* low = chord[0]->position > chord[1]->position ? chord[0] : chord[1];
        const NoteDrawItem* high = low == chord[0] ? chord[1] : chord[0];
        EXPECT_TRUE(low->StemUp());
        EXPECT_TRUE(low->HasStem()) << "time " << time;
        EXPECT_FALSE(high->HasStem()) << "time " << time;
    }
    // Pitch 67 is the highest head: the beam is six positions above it.
    EXPECT_EQ(NoteAt(m, 0)->stemEnd, 18 - 6);
}

TEST(StaffBeams, OccupiedPositionsTurnABeamAway) {
    // Low eighths would take stems up, but a quarter on the top line in the first column
    // holds the place where their beam would go.
    ArrangedSong free("0 n64 192, 192 n65 192, 384 n64 1152");
    EXPECT_TRUE(NoteAt(free.Arrange(1), 0)->StemUp());
    ArrangedSong blocked("0 n64 192 n77 384, 192 n65 192, 384 n64 1152");
    const MeasureDrawInfo& m = blocked.Arrange(1);
    const NoteDrawItem* e = nullptr;
    for (const NoteDrawItem* n : NotesAt(m, 0))
        if (n->durationType == kDur8th)
            e = n;
    ASSERT_NE(e, nullptr);
    EXPECT_GE(e->beamId, 0);
    EXPECT_FALSE(e->StemUp());
    EXPECT_EQ(e->stemEnd, 20 + 6);
}

TEST(StaffBeams, TieContinuationsAndLoneChordsAreNotBeamed) {
    ArrangedSong s("1344 n72 384, 1728 n74 192, 1920 n76 2304");
    s.Arrange(2);
    EXPECT_EQ(NoteAt(s[1], 0)->beamId, -1); // the tied part
    EXPECT_EQ(NoteAt(s[1], 192)->beamId, -1);
    ArrangedSong chord("0 n72 192 n76 192, 192 n72 1344");
    const MeasureDrawInfo& m = chord.Arrange(1);
    for (const NoteDrawItem* n : NotesAt(m, 0))
        EXPECT_EQ(n->beamId, -1);
}

TEST(StaffStems, SingleNotesPointAwayFromTheMiddleLine) {
    ArrangedSong s("0 n64 384, 384 n71 384, 768 n77 384, 1152 n60 384");
    const MeasureDrawInfo& m = s.Arrange(1);
    EXPECT_TRUE(NoteAt(m, 0)->StemUp()); // below the middle line
    EXPECT_EQ(NoteAt(m, 0)->stemEnd, 14);
    EXPECT_FALSE(NoteAt(m, 384)->StemUp()); // on it
    EXPECT_EQ(NoteAt(m, 384)->stemEnd, 22);
    EXPECT_FALSE(NoteAt(m, 768)->StemUp());
    EXPECT_TRUE(NoteAt(m, 1152)->StemUp());
}

TEST(StaffStems, ChordStemStartsAtTheFarNote) {
    ArrangedSong s("0 n60 384 n64 384 n67 384, 384 n72 384 n76 384 n79 384, 768 n60 768");
    const MeasureDrawInfo& m = s.Arrange(1);
    for (const NoteDrawItem* n : NotesAt(m, 0)) {
        EXPECT_TRUE(n->StemUp());
        EXPECT_EQ(n->HasStem(), n->position == 22) << n->position;
    }
    EXPECT_EQ(NoteAt(m, 0)->stemEnd, 18 - 6);
    for (const NoteDrawItem* n : NotesAt(m, 384)) {
        EXPECT_FALSE(n->StemUp());
        EXPECT_EQ(n->HasStem(), n->position == 11) << n->position;
        if (n->HasStem()) {
            EXPECT_EQ(n->stemEnd, 15 + 6);
        }
    }
}

TEST(StaffStems, AnOccupiedStemEndTurnsTheStem) {
    // The whole note on D (position 14) takes 11..17; the quarter's up stem would end on
    // 14, so it goes down.
    ArrangedSong s("0 n64 384 n74 1536");
    const MeasureDrawInfo& m = s.Arrange(1);
    for (const NoteDrawItem* n : NotesAt(m, 0)) {
        if (n->durationType != kDurQuarter)
            continue;
        EXPECT_FALSE(n->StemUp());
        EXPECT_EQ(n->stemEnd, 26);
    }
}

TEST(StaffStems, GrandStaffStemsUseEachStaffsMiddleLine) {
    ArrangedSong s("0 n52 384, 384 n40 384, 768 n60 768", 384, kClefGrand);
    const MeasureDrawInfo& m = s.Arrange(1);
    const NoteDrawItem* c = NoteAt(m, 0); // pitch 52: the space over the bass staff's middle line
    EXPECT_EQ(c->staff, 1);
    EXPECT_EQ(c->position, 37);
    EXPECT_FALSE(c->StemUp());
    EXPECT_TRUE(NoteAt(m, 384)->StemUp()); // under the bass staff
}
