#include <gtest/gtest.h>

#include <vector>

#include "EditTestSupport.h"
#include "edit/Clipboard.h"
#include "edit/CommandProcessor.h"
#include "edit/NoteEditor.h"

namespace {

using Op = KeyOperation;

// The text of a refusal, "" when the operation went ahead.
std::string Said(const Refusal& refusal) {
    return refusal ? refusal.Text().str() : "";
}

struct FakeHost : NoteEditorHost {
    bool MovePitchToKey() const override { return toKey; }
    bool HesitatePlay() const override { return hesitate; }
    double SnapTo() const override { return snap; }
    void Transport(KeyOperation command) override { transport.push_back(command); }
    void PlayRange(std::int32_t from, std::int32_t to) override { played = {from, to}; }
    void SoundAfterHesitation(const MidiMsgNote& note, std::int32_t) override {
        sounded.push_back(note.key);
    }
    void Beep() override { ++beeps; }
    void ShowRefusal(const Refusal& refusal) override { refusals.push_back(refusal.Text().str()); }
    bool AskPasteOptions(PasteOptions& options) override {
        options.at = pasteAt;
        return true;
    }

    bool toKey = false;
    bool hesitate = false;
    double snap = 0;
    std::int32_t pasteAt = 0;
    std::vector<KeyOperation> transport;
    std::vector<int> sounded;
    std::pair<std::int32_t, std::int32_t> played{-1, -1};
    int beeps = 0;
    std::vector<std::string> refusals;
};

// A note view over a song: notes only, like the staff and the piano roll.
struct Fixture {
    explicit Fixture(const std::string& text, int tpq = 384)
        : song(BuildSong(text, tpq)), filter(NotesOnly()), editor(*song, &filter, cp, host) {}
    static ViewFilter NotesOnly() {
        ViewFilter f;
        f.SetKind(kMsgNote);
        return f;
    }
    const MidiMsgNote& Note() { return *editor.CurrentNote(); }
    void Key(KeyOperation op) { EXPECT_TRUE(editor.KeyCommand(op)); }

    std::unique_ptr<Song> song;
    ViewFilter filter;
    CommandProcessor cp;
    FakeHost host;
    NoteEditor editor;
};

} // namespace

TEST(NoteEditor, DurationKeysClimbTheLadderAndTheButtonsFollow) {
    Fixture f("0 n60 576");
    EXPECT_EQ(f.editor.Lengths(), (NoteLengthState{4, true, false}));
    f.Key(Op::IncreaseNoteDuration);
    EXPECT_EQ(f.Note().duration, 768);
    EXPECT_EQ(f.editor.Lengths(), (NoteLengthState{5, false, false}));
    f.Key(Op::IncreaseNoteDuration);
    f.Key(Op::IncreaseNoteDuration);
    EXPECT_EQ(f.Note().duration, 24);
    f.Key(Op::DecreaseNoteDuration);
    EXPECT_EQ(f.Note().duration, 1536);
    EXPECT_STREQ(f.cp.UndoName(), "Note Properties");
}

TEST(NoteEditor, VelocityStepsByFourWithinItsLimits) {
    Fixture f("0 v126 n60 10, 10 v3 n62 10, 20 v125 n64 10");
    f.Key(Op::DecreaseNoteVelocity);
    EXPECT_EQ(f.Note().velocity, 124);
    f.Key(Op::ForwardInTime);
    f.Key(Op::DecreaseNoteVelocity);
    EXPECT_EQ(f.Note().velocity, 3);
    f.Key(Op::ForwardInTime);
    f.Key(Op::IncreaseNoteVelocity);
    EXPECT_EQ(f.Note().velocity, 127);
    EXPECT_EQ(f.cp.UndoCount(), 2u);
}

TEST(NoteEditor, LettersStayInTheirTwelveFromA) {
    Fixture f("0 n56 10, 10 n57 10");
    f.Key(Op::MakeCurrentNotePitchC); // C
    EXPECT_EQ(f.Note().key, 48);
    f.Key(Op::ForwardInTime);
    f.Key(Op::MakeCurrentNotePitchC);
    EXPECT_EQ(f.Note().key, 60);
    // With the key option on, the nearest pitch of the key at or above: E in E flat
    // major is F.
    f.song->SetKeySignature(0, -3, 0);
    f.Key(Op::MakeCurrentNotePitchE);
    EXPECT_EQ(f.Note().key, 64);
    f.host.toKey = true;
    f.Key(Op::MakeCurrentNotePitchC);
    f.Key(Op::MakeCurrentNotePitchE);
    EXPECT_EQ(f.Note().key, 65);
}

TEST(NoteEditor, PitchStepsInThreeModes) {
    Fixture f("0 n64 10");
    f.song->SetKeySignature(0, 0, 0);
    f.Key(Op::UpInPitch);
    EXPECT_EQ(f.Note().key, 65);
    f.host.toKey = true;
    f.Key(Op::UpInPitch);
    EXPECT_EQ(f.Note().key, 67);
    f.Key(Op::UpInPitchHalfStep);
    EXPECT_EQ(f.Note().key, 68);
    f.Key(Op::DownInPitchInKey);
    EXPECT_EQ(f.Note().key, 67);
    f.Key(Op::CurrentNoteDownOctave);
    EXPECT_EQ(f.Note().key, 55);
    f.cp.Undo();
    f.editor.Refresh();
    EXPECT_EQ(f.Note().key, 67);
}

TEST(NoteEditor, PitchesOutsideTheRangeChangeNothing) {
    Fixture f("0 n120 10");
    f.Key(Op::CurrentNoteUpOctave);
    EXPECT_EQ(f.Note().key, 120);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    f.Key(Op::UpInPitch);
    EXPECT_EQ(f.Note().key, 127);
    EXPECT_FALSE(f.cp.CanRedo());
}

TEST(NoteEditor, ChangedNotesSoundAfterHesitationWhenAsked) {
    Fixture f("0 n60 10");
    f.Key(Op::UpInPitch);
    EXPECT_TRUE(f.host.sounded.empty());
    f.host.hesitate = true;
    f.Key(Op::UpInPitch);
    f.Key(Op::CurrentNoteUpOctave);
    f.Key(Op::IncreaseNoteVelocity); // a louder note is not sounded
    EXPECT_EQ(f.host.sounded, (std::vector<int>{62, 74}));
}

TEST(NoteEditor, DotAndTripletChangeTheDuration) {
    Fixture f("0 n60 768, 1000 n62 384");
    f.Key(Op::TripletSelectedNote);
    EXPECT_EQ(f.Note().duration, 768);
    EXPECT_FALSE(f.cp.CanUndo());
    f.Key(Op::DotSelectedNote);
    EXPECT_EQ(f.Note().duration, 1152);
    f.Key(Op::ForwardInTime);
    f.Key(Op::TripletSelectedNote);
    EXPECT_EQ(f.Note().duration, 512);
}

TEST(NoteEditor, AddNoteAtEndOfAnEmptyView) {
    Fixture f("");
    f.editor.PressLengthButton(3);
    f.Key(Op::AddNoteAtEnd);
    EXPECT_EQ(Brief(*f.song), "0:n60/192");
    EXPECT_EQ(f.Note().velocity, 96);
    // Again, from the note just added: the same note after it.
    f.Key(Op::AddNoteAtEnd);
    EXPECT_EQ(Brief(*f.song), "0:n60/192 192:n60/192");
    EXPECT_EQ(f.editor.CurrentTime(), 192);
}

TEST(NoteEditor, AddNoteAtEndGoesAfterTheLongestLastNote) {
    Fixture f("0 n60 100, 500 n62 100 n64 300");
    f.editor.GetPlacement().track = 1;
    f.editor.GetPlacement().channel = 2;
    // The length buttons show the current note's 100 ticks as a sixteenth.
    f.Key(Op::AddNoteAtEnd);
    EXPECT_EQ(Brief(*f.song), "0:n60/100 500:n62/100 500:n64/300 800:t1:n60/96");
    ASSERT_EQ(f.song->TrackCount(), 2u);
    EXPECT_EQ(f.song->GetTrack(1)->channel, 2);
}

TEST(NoteEditor, AddAndInsertUseThePlacementAndTheCurrentNote) {
    Fixture f("0 n64 100, 100 n67 100");
    f.Key(Op::AddNoteAfterCurrent);
    EXPECT_EQ(Brief(*f.song), "0:n64/100 100:n67/100 100:n64/100");
    EXPECT_EQ(f.editor.CurrentTime(), 100);
    f.Key(Op::InsertNoteBeforeCurrentTime);
    EXPECT_EQ(Brief(*f.song), "0:n64/100 100:n64/100 200:n67/100 200:n64/100");
}

TEST(NoteEditor, AddNoteAtCurrentTimeAddsAThirdBelowInTheKey) {
    Fixture f("0 n64 100");
    f.Key(Op::AddNoteAtCurrentTime);
    EXPECT_EQ(Notes(*f.song), "0:64 0:60");
    f.Key(Op::AddNoteAtCurrentTime);
    EXPECT_EQ(Notes(*f.song), "0:64 0:60 0:57");
    EXPECT_STREQ(f.cp.UndoName(), "Add Multiple Note");
    f.cp.Undo();
    f.cp.Undo();
    EXPECT_EQ(Notes(*f.song), "0:64");
}

TEST(NoteEditor, MovingAndSelectingWalkTheShownPoints) {
    Fixture f("0 n60 10, 100 cc7=3, 200 n62 10 n64 10, 300 n65 10");
    f.Key(Op::ForwardInTime);
    EXPECT_EQ(f.editor.CurrentTime(), 200);
    f.Key(Op::MoveToNextNoteAtCurrentTime);
    EXPECT_EQ(f.Note().key, 64);
    f.Key(Op::MoveToNextNoteAtCurrentTime);
    EXPECT_EQ(f.Note().key, 62);
    f.Key(Op::MoveToPreviousNoteAtCurrentTime);
    EXPECT_EQ(f.Note().key, 64);
    f.Key(Op::SelectNotesForward);
    EXPECT_EQ(f.editor.GetSelection(), (NoteEditor::Selection{200, 300}));
    f.Key(Op::SelectNotesForward); // at the end: nothing moves
    f.Key(Op::SelectNotesBackward);
    EXPECT_EQ(f.editor.GetSelection(), (NoteEditor::Selection{200, 200}));
    f.Key(Op::SelectNotesBackward);
    EXPECT_EQ(f.editor.GetSelection(), (NoteEditor::Selection{0, 200}));
    f.Key(Op::ForwardInTime);
    EXPECT_FALSE(f.editor.GetSelection());
    f.Key(Op::PlayCurrentSection);
    EXPECT_EQ(f.host.played, (std::pair<std::int32_t, std::int32_t>{0, 1736}));
}

TEST(NoteEditor, MoveNoteGoesBySnapAndBeepsBeforeTheStart) {
    Fixture f("50 n60 10, 500 n62 10");
    f.Key(Op::MoveNoteForward);
    EXPECT_EQ(Brief(*f.song), "50:n60/10 500:n62/10");
    f.host.snap = 0.0625;
    f.Key(Op::MoveNoteBackward);
    EXPECT_EQ(f.host.beeps, 1);
    f.Key(Op::MoveNoteForward);
    EXPECT_EQ(Brief(*f.song), "146:n60/10 500:n62/10");
    EXPECT_EQ(f.editor.CurrentTime(), 146);
}

TEST(NoteEditor, CopyWithoutSelectionTakesTheCurrentTimeAndKeepsIt) {
    Fixture f("0 n60 10, 100 n62 10 n64 10, 200 n65 10");
    f.Key(Op::ForwardInTime);
    f.Key(Op::CopySelection);
    EXPECT_EQ(f.editor.GetSelection(), (NoteEditor::Selection{100, 100}));
    EXPECT_EQ(Brief(*Clipboard::Get()->song), "0:n62/10 0:n64/10");
    EXPECT_EQ(NoteEditor::SelectionDurationText(*Clipboard::Get()).str(),
              "Selection Duration: 0 bars, 0 beats, 1 ticks");
    f.host.pasteAt = 300;
    f.Key(Op::PasteSelection);
    EXPECT_EQ(Notes(*f.song), "0:60 100:62 100:64 200:65 300:62 300:64");
}

TEST(NoteEditor, ClearAndCutRefuseOrFallBackToTheCurrentNote) {
    Fixture f("");
    f.Key(Op::ClearSelection);
    EXPECT_EQ(f.host.refusals,
              (std::vector<std::string>{
                  "Select a note or range of notes\nbefore using the clear command."}));
    Fixture g("0 n60 10, 100 n62 10, 300 n64 10");
    g.Key(Op::ForwardInTime);
    g.Key(Op::CutSelection); // Delete Item: the gap closes
    EXPECT_EQ(Brief(*g.song), "0:n60/10 100:n64/10");
    g.editor.SelectTimeRange(0, 50);
    g.Key(Op::ClearSelection);
    EXPECT_EQ(Brief(*g.song), "100:n64/10");
    EXPECT_FALSE(g.editor.GetSelection());
}

TEST(NoteEditor, BlockOperationsNeedASelection) {
    Fixture f("0 n60 10, 100 n62 10");
    EXPECT_EQ(Said(f.editor.Transpose(2)),
              "     Cannot do Transpose:\n\nSelect a range of notes first.");
    EXPECT_EQ(Said(f.editor.Quantize({})),
              "      Cannot do Quantize:\n\nSelect a range of notes first.");
    EXPECT_EQ(Said(f.editor.SelectionProperties({})),
              "Cannot do Selection Properties:\n\nSelect a range of notes first.");
    EXPECT_EQ(Said(f.editor.InsertSpace(std::nullopt, 10)),
              "Cannot execute insert:\n\nClick not within a measure.");
    f.editor.SelectAll();
    EXPECT_EQ(Said(f.editor.Transpose(2)), "");
    EXPECT_EQ(Notes(*f.song), "0:62 100:64");
    NoteEditor::QuantizeOptions fit;
    fit.fitToTime = true;
    EXPECT_EQ(Said(f.editor.Quantize(fit)),
              "Please set Fit-To length to a value greater than zero.");
    EXPECT_EQ(NoteEditor::AlignGrid(1, 384), 512);
    EXPECT_EQ(NoteEditor::AlignGrid(2, 384), 384);
    EXPECT_EQ(NoteEditor::AlignGrid(9, 384), 24);
    EXPECT_EQ(NoteEditor::AlignGrid(0, 384), 0);
}

TEST(NoteEditor, LyricsNearAClick) {
    Fixture f("0 n60 10, 100 text5=la, 300 text7=Audio:take.wav", 96);
    EXPECT_EQ(f.editor.NearbyLyric(0), nullptr);
    EXPECT_NE(f.editor.NearbyLyric(5), nullptr);
    EXPECT_EQ(Said(f.editor.DeleteLyric(0)), "Cannot execute Delete Lyric:\n\nLyric not nearby.");
    EXPECT_EQ(Said(f.editor.DeleteLyric(std::nullopt)),
              "Cannot execute Delete Lyric:\n\nClick not within a measure.");
    EXPECT_EQ(Said(f.editor.DeleteLyric(10)), "");
    EXPECT_EQ(Brief(*f.song), "0:n60/10 300:text=Audio:take.wav");
    EXPECT_NE(f.editor.NearbyAudio(250), nullptr);
    EXPECT_EQ(Said(f.editor.AddLyric(50, "lo")), "");
    EXPECT_EQ(Brief(*f.song), "0:n60/10 50:text=lo 300:text=Audio:take.wav");
    EXPECT_EQ(Said(f.editor.ChangeAudio(280, "b.wav")), "");
    EXPECT_EQ(Brief(*f.song), "0:n60/10 50:text=lo 300:text=Audio:b.wav");
}

TEST(NoteEditor, LengthButtonsSetTheCurrentNote) {
    Fixture f("0 n60 10");
    f.editor.SetTriplet(true);
    f.editor.PressLengthButton(4);
    EXPECT_EQ(f.Note().duration, 512);
    f.editor.PressLengthButton(0);
    EXPECT_EQ(f.Note().duration, 24);
    EXPECT_FALSE(f.editor.Lengths().triplet);
    EXPECT_EQ(f.editor.NewNoteLength(), 24);
}

TEST(NoteEditor, TransportAndUndoKeys) {
    Fixture f("0 n60 10");
    f.Key(Op::Play);
    f.Key(Op::StopPlaying);
    EXPECT_EQ(f.host.transport, (std::vector<KeyOperation>{Op::Play, Op::StopPlaying}));
    EXPECT_FALSE(f.editor.KeyCommand(Op::Undo));
}

TEST(NoteEditor, AmountsAreMeasuredThroughTheSignatures) {
    Fixture f("0 n60 10");
    f.song->SetTimeSignature(1, 3, 4);
    EXPECT_EQ(f.editor.AmountToTicks(0, MusicalTime{2, 1, 5}), 1536 + 1152 + 384 + 5);
}
