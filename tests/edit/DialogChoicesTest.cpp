// What the editing dialogs accept: typed times in the song's time map, and the Quantize
// dialog's enabling and its refusal of a zero fit length.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "edit/CommandProcessor.h"
#include "edit/NoteEditor.h"
#include "edit/NoteEditorHost.h"
#include "edit/QuantizeChoice.h"
#include "edit/TypedTime.h"

TEST(TypedTime, PositionsThatDoNotExistAreRefusedNotMoved) {
    auto song = BuildSong("0 n60 96, 1500 n62 96", 96); // two bars of 4/4
    song->SetTimeSignature(1, 3, 4);                    // bar 2 on: 3/4
    std::int32_t tick = -1;
    EXPECT_FALSE(TypedTime::ToTick(*song, {1, 2, 95}, tick));
    EXPECT_EQ(tick, 384 + 2 * 96 + 95);

    const Refusal beat = TypedTime::ToTick(*song, {1, 3, 0}, tick);
    ASSERT_TRUE(beat);
    EXPECT_EQ(beat.Text(), "Cannot accept time value:\n\nBar 2 has 3 beats.");
    const Refusal ticks = TypedTime::ToTick(*song, {0, 0, 96}, tick);
    ASSERT_TRUE(ticks);
    EXPECT_EQ(ticks.Text(), "Cannot accept time value:\n\nA beat of bar 1 has 96 ticks (0 to 95).");
    EXPECT_TRUE(TypedTime::ToTick(*song, {-1, 0, 0}, tick));
    EXPECT_EQ(tick, 384 + 2 * 96 + 95); // untouched by refusals

    // Within the song: up to the end of the last bar that holds anything (bar 5 here).
    EXPECT_EQ(TypedTime::SongEnd(*song), 384 + 4 * 288);
    EXPECT_FALSE(TypedTime::ToTick(*song, {5, 0, 0}, tick, TypedTime::Reach::WithinSong));
    const Refusal late = TypedTime::ToTick(*song, {5, 0, 1}, tick, TypedTime::Reach::WithinSong);
    ASSERT_TRUE(late);
    EXPECT_EQ(late.Text(), "Cannot accept time value:\n\nThe song ends at 6:1:0.");
    EXPECT_FALSE(TypedTime::ToTick(*song, {5, 0, 1}, tick));
    EXPECT_TRUE(TypedTime::ToTick(*song, {100000000, 0, 0}, tick));
}

TEST(QuantizeChoice, EnablingGridAndZeroFit) {
    auto song = BuildSong("0 n60 96, 96 n62 96", 96);
    CommandProcessor cp;
    NoteEditorHost host;
    NoteEditor editor(*song, nullptr, cp, host);

    QuantizeChoice choice;
    EXPECT_FALSE(choice.AlignBoxesEnabled());
    EXPECT_FALSE(choice.FitFieldsEnabled());
    EXPECT_TRUE(choice.moveRest);
    choice.entry = 4; // "Eighth"
    choice.alignBeginnings = true;
    EXPECT_TRUE(choice.AlignBoxesEnabled());
    NoteEditor::QuantizeOptions options;
    EXPECT_FALSE(choice.Accept(editor, 0, options));
    EXPECT_EQ(options.grid, 48);
    EXPECT_TRUE(options.alignBeginnings);
    EXPECT_FALSE(options.fitToTime);

    // Boxes ticked under "No Align" do nothing.
    choice.entry = 0;
    EXPECT_FALSE(choice.Accept(editor, 0, options));
    EXPECT_EQ(options.grid, 0);
    EXPECT_FALSE(options.alignBeginnings);

    choice.fitToTime = true;
    const NoteEditor::QuantizeOptions before = options;
    const Refusal zero = choice.Accept(editor, 0, options);
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero.Text(), "Please set Fit-To length to a value greater than zero.");
    EXPECT_EQ(options.fitToTime, before.fitToTime); // a refusal leaves the options alone
    choice.fitAmount = {1, 2, 0};                   // a bar and two beats of 4/4
    EXPECT_FALSE(choice.Accept(editor, 0, options));
    EXPECT_EQ(options.fitLength, 384 + 192);
}

namespace {

// Records what Delete Audio asks and does.
struct AudioHost : NoteEditorHost {
    AString reason;
    bool answer = true;
    std::vector<std::string> log;
    AudioFileCheck CheckAudioFile(const AString& name, const MidiMsg&) override {
        log.push_back("check " + name.str());
        return {reason.IsEmpty() ? AString("/songs/") + name : AString(), reason};
    }
    bool AskYesNo(const AString& text) override {
        log.push_back("ask " + text.str());
        return answer;
    }
    bool DeleteAudioFile(const AString& path, AString&) override {
        log.push_back("delete " + path.str());
        return true;
    }
};

} // namespace

TEST(DeleteAudio, AsksOnlyForTheCuesOwnFileAndSaysWhatUndoCannotBringBack) {
    for (const bool allowed : {true, false}) {
        SCOPED_TRACE(allowed);
        auto song = BuildSong("0 n60 96, 96 text7=Audio:take.wav", 96);
        CommandProcessor cp;
        AudioHost host;
        if (!allowed)
            host.reason = "The file lies outside the song's folder.";
        NoteEditor editor(*song, nullptr, cp, host);
        const Refusal said = editor.DeleteAudio(90);
        EXPECT_EQ(Brief(*song), "0:n60/96"); // the cue goes either way
        ASSERT_FALSE(host.log.empty());
        EXPECT_EQ(host.log[0], "check take.wav");
        if (allowed) {
            EXPECT_FALSE(said);
            ASSERT_EQ(host.log.size(), 3u);
            EXPECT_EQ(host.log[1], "ask Also delete '.WAV' file from the hard disk?\n\n"
                                   "/songs/take.wav\n\nDeleting the file cannot be undone.");
            EXPECT_EQ(host.log[2], "delete /songs/take.wav");
        } else {
            EXPECT_EQ(host.log.size(), 1u); // no question, nothing deleted
            ASSERT_TRUE(said);
            EXPECT_EQ(said.Text(), "The audio cue was removed; its file was kept.\n\n"
                                   "The file lies outside the song's folder.");
        }
    }
}
