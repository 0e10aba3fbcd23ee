#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "devices/Chords.h"
#include "edit/CommandProcessor.h"
#include "edit/MC_ChordAnchor.h"
#include "edit/MC_ChordInvert.h"
#include "edit/MC_ChordIter.h"

namespace {

struct ChordView {
    explicit ChordView(const std::string& text) : song(BuildSong(text)), view(*song) {
        view.filter.SetKind(kMsgNote);
        view.it.Seek(0);
    }
    const MidiMsgNote& Current() { return *static_cast<const MidiMsgNote*>(view.it.Msg()); }
    void Cycle(int step) {
        cp.Submit(std::make_unique<MC_ChordIter>(view.it, Current(), view.it.Tick(), step));
    }
    std::unique_ptr<Song> song;
    TestView view;
    CommandProcessor cp;
};

} // namespace

TEST(ChordCommands, CyclingBuildsTheFirstChordThenTheNext) {
    ChordView c("0 n60 100, 0 t1 n61 50");
    c.Cycle(1);
    EXPECT_EQ(Notes(*c.song), "0:61 0:64 0:60 0:55");
    EXPECT_EQ(c.Current().key, 60);
    c.Cycle(1);
    EXPECT_EQ(Notes(*c.song), "0:61 0:67 0:64 0:60");
    EXPECT_EQ(c.Current().duration, 100);
    c.cp.Undo();
    c.cp.Undo();
    EXPECT_EQ(Brief(*c.song), "0:n60/100 0:t1:n61/50");
    EXPECT_STREQ(c.cp.RedoName(), "Chord");
}

TEST(ChordCommands, CyclingBackwardWrapsToTheLastChord) {
    ChordView c("0 n60 100");
    c.Cycle(-1);
    EXPECT_EQ(Notes(*c.song), "0:69 0:66 0:63 0:60");
    ChordView first("0 n64 10 n60 10 n55 10");
    first.view.it.NextMsg();
    first.Cycle(-1);
    EXPECT_EQ(Notes(*first.song), "0:69 0:66 0:63 0:60");
}

TEST(ChordCommands, NotesThatFormAnUnknownChordStay) {
    ChordView c("0 n60 10 n61 10 n62 10");
    c.Cycle(1);
    EXPECT_EQ(Notes(*c.song), "0:60 0:61 0:62");
}

TEST(ChordCommands, InvertRaisesTheNoteAndMovesToTheNextTone) {
    ChordView c("0 n60 10 n64 10 n67 10");
    c.cp.Submit(std::make_unique<MC_ChordInvert>(c.view.it, c.Current(), 0));
    EXPECT_EQ(Notes(*c.song), "0:72 0:64 0:67");
    EXPECT_EQ(c.Current().key, 64);
    c.cp.Undo();
    EXPECT_EQ(Notes(*c.song), "0:60 0:64 0:67");
}

TEST(ChordCommands, AnchorAddsAnOctaveAndKeepsTheCurrentNote) {
    ChordView c("0 v80 n60 10");
    c.cp.Submit(std::make_unique<MC_ChordAnchor>(c.view.it, c.Current(), 0, -12));
    EXPECT_EQ(Notes(*c.song), "0:60 0:48");
    EXPECT_EQ(c.Current().key, 60);
    EXPECT_EQ(Records(*c.song).find("key=48 vel=80") != std::string::npos, true);
    c.cp.Undo();
    EXPECT_EQ(Notes(*c.song), "0:60");
}

TEST(ChordCommands, UndoBringsBackANoteWhoseChordFellOutOfRange) {
    // A table of one chord: an octave above.
    auto table = BuildSong("0 n72 10");
    ASSERT_TRUE(Chords::Global().LoadFromSong(*table));
    ChordView c("0 n120 10, 100 n60 10");
    c.Cycle(1);
    EXPECT_EQ(Notes(*c.song), "100:60");
    c.cp.Undo();
    EXPECT_EQ(Notes(*c.song), "0:120 100:60");
    Chords::Global().UseBuiltIn();
}
