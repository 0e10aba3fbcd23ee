#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "edit/Clipboard.h"
#include "edit/CommandProcessor.h"
#include "edit/MC_ChangePitch.h"
#include "edit/MC_CopyBlock.h"
#include "edit/MC_CutBlock.h"
#include "edit/MC_DeleteMsg.h"
#include "edit/MC_InsertMsg.h"
#include "edit/MC_InsertSpace.h"
#include "edit/MC_MoveMsg.h"
#include "edit/MC_NoteProperties.h"
#include "edit/MC_PasteBlock.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/MC_SetTimeKeySig.h"
#include "edit/MC_SongDeviceFile.h"
#include "edit/MC_SongProperties.h"
#include "edit/MC_Transpose.h"

namespace {

const MidiMsgNote& NoteAt(SongIter& it) {
    return *static_cast<const MidiMsgNote*>(it.Msg());
}

} // namespace

TEST(Commands, UndoingATransposeGivesBackPitchesTheLimitStopped) {
    auto song = BuildSong("0 n120 10, 10 n60 10");
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_Transpose>(view.it, 0, 10, 12));
    EXPECT_EQ(Notes(*song), "0:127 10:72");
    cp.Undo();
    EXPECT_EQ(Notes(*song), "0:120 10:60");
    EXPECT_STREQ(cp.RedoName(), "Transpose");
}

TEST(Commands, ARedoPastesWhatThePasteTookFirstAndWorksWithoutItsView) {
    auto song = BuildSong("0 n60 10, 100 n62 10");
    auto other = BuildSong("0 n40 10");
    CommandProcessor cp;
    CommandProcessor otherWindow;
    {
        TestView view(*song);
        cp.Submit(std::make_unique<MC_CopyBlock>(view.it, 0, 0));
        PasteOptions options;
        options.at = 200;
        options.target.placement = TrackPlacement::Keep;
        cp.Submit(std::make_unique<MC_PasteBlock>(view.it, options));
        EXPECT_EQ(Notes(*song), "0:60 100:62 200:60");
        cp.Undo();
    }
    // Another song window copies in the meantime.
    TestView otherView(*other);
    otherWindow.Submit(std::make_unique<MC_CopyBlock>(otherView.it, 0, 0));
    EXPECT_EQ(Brief(*Clipboard::Get()->song), "0:n40/10");
    cp.Redo();
    EXPECT_EQ(Notes(*song), "0:60 100:62 200:60");
}

TEST(Commands, UndoOfCopyBlockChangesNothingAndRedoCopiesAgain) {
    auto song = BuildSong("0 n60 10, 100 n62 10");
    TestView view(*song);
    CommandProcessor cp;
    const std::string before = Records(*song);
    cp.Submit(std::make_unique<MC_CopyBlock>(view.it, 100, 100));
    Clipboard::Clear();
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
    EXPECT_EQ(Clipboard::Get(), nullptr);
    cp.Redo();
    ASSERT_NE(Clipboard::Get(), nullptr);
    EXPECT_EQ(Brief(*Clipboard::Get()->song), "0:n62/10");
}

TEST(Commands, DeleteItemClosesTheGapItLeavesAndUndoOpensIt) {
    auto song = BuildSong("0 n60 10, 100 n61 10, 250 n62 10, 250 t1 n40 10, 400 n63 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    view.it.Seek(100);
    auto remove = std::make_unique<MC_DeleteMsg>(view.it, *view.it.Msg(), 100);
    MC_DeleteMsg* deleted = remove.get();
    cp.Submit(std::move(remove));
    EXPECT_EQ(deleted->ClosedLength(), 150);
    EXPECT_EQ(Brief(*song), "0:n60/10 100:n62/10 100:t1:n40/10 250:n63/10");
    // Not alone at its time: nothing moves.
    view.it.Seek(100);
    cp.Submit(std::make_unique<MC_DeleteMsg>(view.it, *view.it.Msg(), 100));
    EXPECT_EQ(Brief(*song), "0:n60/10 100:t1:n40/10 250:n63/10");
    cp.Undo();
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}

TEST(Commands, UndoOfAControlChangeGivesBackTheValueItReplaced) {
    auto song = BuildSong("0 cc7=100 n60 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_PutMsgAtTime>(view.it, MidiMsgControlChange(0, 7, 20), 0));
    EXPECT_EQ(Brief(*song), "0:cc7=20 0:n60/10");
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}

TEST(Commands, InsertItemMakesRoomAndUndoTakesItOutAgain) {
    auto song = BuildSong("0 n60 10, 100 n62 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_InsertMsg>(view.it, MidiMsgNote(0, 64, 90, 50), 50, 100));
    EXPECT_EQ(Brief(*song), "0:n60/10 100:n64/50 150:n62/10");
    EXPECT_EQ(song->GetTrack(0)->channel, 0);
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}

TEST(Commands, ItemsPlacedBeforeTheStartLandAtTheStartAndUndoCleanly) {
    auto song = BuildSong("0 n60 10, 100 n62 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_PutMsgAtTime>(view.it, MidiMsgNote(0, 64, 90, 5), -30));
    cp.Submit(std::make_unique<MC_InsertMsg>(view.it, MidiMsgNote(0, 65, 90, 5), 20, -7));
    EXPECT_EQ(Brief(*song), "0:n65/5 20:n60/10 20:n64/5 120:n62/10");
    cp.Undo();
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}

TEST(Commands, PitchChangeKeepsTheChangedNoteCurrentInTheView) {
    auto song = BuildSong("0 n60 10 n64 10 n67 10");
    TestView view(*song);
    view.filter.SetKind(kMsgNote);
    view.it.Seek(0);
    view.it.NextMsg();
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_ChangePitch>(view.it, NoteAt(view.it), 0, 65));
    EXPECT_EQ(NoteAt(view.it).key, 65);
    EXPECT_EQ(view.it.Filter(), &view.filter);
    cp.Undo();
    EXPECT_EQ(Notes(*song), "0:60 0:64 0:67");
}

TEST(Commands, MoveNoteBeforeTheStartBeepsAndKeepsTheHistory) {
    auto song = BuildSong("10 n60 10, 100 n62 10");
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_PutMsgAtTime>(view.it, MidiMsgNote(0, 70, 90, 5), 300));
    int beeps = 0;
    view.it.Seek(10);
    MC_MoveMsg tooFar(view.it, -20, [&] { ++beeps; });
    tooFar.Execute();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Notes(*song), "10:60 100:62 300:70");
    cp.Submit(std::make_unique<MC_MoveMsg>(view.it, 200, [&] { ++beeps; }));
    EXPECT_EQ(Notes(*song), "100:62 210:60 300:70");
    EXPECT_EQ(view.it.Tick(), 210);
    EXPECT_FALSE(cp.CanUndo());
}

TEST(Commands, SongPropertiesRescaleAndLeaveUnsetTextsUnset) {
    auto song = BuildSong("383 n60 192");
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_SongProperties>(*song, "Song", "", "", "", 96));
    EXPECT_EQ(Brief(*song), "95:n60/48");
    EXPECT_TRUE(song->title.set);
    EXPECT_FALSE(song->author.set);
}

TEST(Commands, ChoosingADeviceIsUndoneWithoutLosingTheStepsBefore) {
    auto song = BuildSong("0 n60 10");
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_Transpose>(view.it, 0, 10, 2));
    const AString before = song->DeviceFile();
    cp.Submit(std::make_unique<MC_SongDeviceFile>(*song, "SYNTH.MDV"));
    EXPECT_EQ(song->DeviceFile().str(), "SYNTH.MDV");
    cp.Undo();
    EXPECT_EQ(song->DeviceFile(), before);
    EXPECT_STREQ(cp.UndoName(), "Transpose");
    cp.Redo();
    EXPECT_EQ(song->DeviceFile().str(), "SYNTH.MDV");
}

TEST(Commands, MovingASignatureEntryToAnotherMeasure) {
    Song song;
    song.SetTimeSignature(2, 3, 4);
    TimeAndKeySignature moved;
    moved.measure = 4;
    moved.numerator = 6;
    moved.denominator = 8;
    moved.key = 2;
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_SetTimeKeySig>(song, 1, moved));
    ASSERT_EQ(song.SignatureCount(), 2u);
    EXPECT_EQ(song.GetSignature(1)->measure, 4);
    EXPECT_EQ(song.GetSignature(1)->numerator, 6);
    EXPECT_EQ(song.GetSignature(1)->key, 2);
}

TEST(Commands, UndoOfAChangeThatMadeTwinNotesChangesTheSameNoteBack) {
    // The changed note becomes equal to its neighbour; undo must take the same one back,
    // or the records at the tick change order.
    auto song = BuildSong("0 n62 10 n60 10 n64 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    view.it.Seek(0);
    view.it.NextMsg();
    view.it.NextMsg();
    cp.Submit(std::make_unique<MC_ChangePitch>(view.it, NoteAt(view.it), 0, 62));
    EXPECT_EQ(Notes(*song), "0:62 0:60 0:62");
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
    cp.Redo();
    EXPECT_EQ(Notes(*song), "0:62 0:60 0:62");

    auto lengths = BuildSong("0 n60 10 n60 20");
    const std::string longer = Records(*lengths);
    TestView other(*lengths);
    other.it.Seek(0);
    other.it.NextMsg();
    cp.Submit(std::make_unique<MC_NoteProperties>(other.it, NoteAt(other.it), 0, 100, 0, 10));
    cp.Undo();
    EXPECT_EQ(Records(*lengths), longer);
}

TEST(Commands, SpaceThatWouldPushEventsPastTheLastTickIsNotOpened) {
    auto song = BuildSong("0 n60 10, 2000000000 n62 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    cp.Submit(std::make_unique<MC_InsertSpace>(view.it, 100, 200000000));
    cp.Submit(std::make_unique<MC_InsertMsg>(view.it, MidiMsgNote(0, 64, 90, 10), 200000000, 100));
    cp.Submit(std::make_unique<MC_CopyBlock>(view.it, 0, 199999999));
    PasteOptions options;
    options.at = 10;
    options.method = PasteMethod::Insert;
    options.target.placement = TrackPlacement::Keep;
    cp.Submit(std::make_unique<MC_PasteBlock>(view.it, options));
    EXPECT_EQ(Records(*song), before);
    while (cp.CanUndo())
        cp.Undo();
    EXPECT_EQ(Records(*song), before);
    // Room enough: the same steps go through and come back.
    cp.Submit(std::make_unique<MC_InsertSpace>(view.it, 100, 100000000));
    EXPECT_EQ(Notes(*song), "0:60 2100000000:62");
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}

TEST(Commands, CutAndCopyAtTheEdgesOfTime) {
    auto song = BuildSong("0 n60 10, 100 n62 10, 300 n64 10");
    const std::string before = Records(*song);
    TestView view(*song);
    CommandProcessor cp;
    // A range reaching to the end of time copies with a length that still counts.
    cp.Submit(std::make_unique<MC_CopyBlock>(view.it, 0, kEndTick));
    ASSERT_NE(Clipboard::Get(), nullptr);
    EXPECT_EQ(Clipboard::Get()->length, kEndTick);
    // A range starting before time 0 cuts from 0.
    cp.Submit(std::make_unique<MC_CutBlock>(view.it, -50, 149));
    EXPECT_EQ(Notes(*song), "150:64");
    EXPECT_EQ(Clipboard::Get()->length, 150);
    cp.Undo();
    EXPECT_EQ(Records(*song), before);
}
