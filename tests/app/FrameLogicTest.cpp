// The main window's rules that need no display: the command table, the file history,
// the choice of output device, window placement, key routing and the script reader.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/AppCommands.h"
#include "app/CommandTable.h"
#include "app/FileHistory.h"
#include "app/KeyDispatch.h"
#include "app/OutputDevices.h"
#include "app/ScriptParser.h"
#include "app/ViewStack.h"
#include "app/WindowLayout.h"
#include "devices/KeyTranslator.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

TEST(CommandTable, EveryCommandOnceInAMenuThatExistsAndForwardsNameTheirOperation) {
    std::set<int> ids;
    const auto& titles = SongMenuTitles();
    for (const MenuCommand& c : CommandTable()) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        EXPECT_NE(std::find_if(titles.begin(), titles.end(),
                               [&](const char* t) { return std::string(t) == c.menu; }),
                  titles.end())
            << c.id;
        EXPECT_EQ(c.route == MenuCommand::Route::Forward, c.operation.has_value()) << c.id;
    }
    // The editing commands of the menus hand on the operations the keys do.
    EXPECT_EQ(FindCommand(cmd::kCut)->operation, KeyOperation::CutSelection);
    EXPECT_EQ(FindCommand(cmd::kPaste)->operation, KeyOperation::PasteSelection);
    EXPECT_EQ(FindCommand(cmd::kPitchUp)->operation, KeyOperation::UpInPitch);
    EXPECT_EQ(FindCommand(cmd::kOctaveDown)->operation, KeyOperation::CurrentNoteDownOctave);
    EXPECT_EQ(FindCommand(cmd::kSelectNextNote)->operation,
              KeyOperation::MoveToNextNoteAtCurrentTime);
    EXPECT_EQ(FindCommand(cmd::kMoveBackward)->operation, KeyOperation::BackwardInTime);
    EXPECT_EQ(FindCommand(cmd::kInsertNoteBefore)->operation,
              KeyOperation::InsertNoteBeforeCurrentTime);
    EXPECT_EQ(FindCommand(999), nullptr);

    // Without a song the menu offers New, Open, Exit, the two definition commands and help.
    std::set<int> noSong;
    for (const MenuCommand& c : CommandTable())
        if (c.inNoSongMenu)
            noSong.insert(c.id);
    EXPECT_EQ(noSong, (std::set<int>{110, 111, 119, 131, 132, 210, 211, 212, 213, 214}));
}

TEST(FileHistory, KeepsFiveMostRecentFirstAndForgetsWhatFellOff) {
    TempDir home;
    home.Write(INIFile::kFileName,
               "FILE_HISTORY_1=/a.mid\nFILE_HISTORY_2=/b.mid\nFILE_HISTORY_4=/d.mid\n");
    INIFile ini(home.Path());
    FileHistory history;
    history.Load(ini);
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"/a.mid", "/b.mid"}));

    for (const char* f : {"/c.mid", "/d.mid", "/e.mid", "/f.mid"})
        history.AddFront(f);
    history.AddFront("/b.mid"); // opened again: moves to the front, not twice
    EXPECT_EQ(history.Entries(),
              (std::vector<std::string>{"/b.mid", "/f.mid", "/e.mid", "/d.mid", "/c.mid"}));
    history.Save(ini);
    FileHistory reread;
    reread.Load(ini);
    EXPECT_EQ(reread.Entries(), history.Entries());

    // A shorter list must not bring old names back at the next start.
    EXPECT_EQ(history.Take(1), "/f.mid");
    EXPECT_EQ(history.Take(7), "");
    history.DropLast();
    history.Save(ini);
    reread.Load(ini);
    EXPECT_EQ(reread.Entries(), (std::vector<std::string>{"/b.mid", "/e.mid", "/d.mid"}));

    history.ReplaceFirst("/d.mid"); // renamed onto a name further down
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"/d.mid", "/e.mid"}));
}

TEST(OutputDevices, AutomaticChoiceAvoidsExternalPortsAndBadNumbersMeanTheSynthesizer) {
    EXPECT_EQ(ChooseOutputDevice(-2, {"MPU-401", "Soft Synth"}), 1);
    EXPECT_EQ(ChooseOutputDevice(-2, {"MPU-401"}), 0); // every name external: the last
    EXPECT_EQ(ChooseOutputDevice(-2, {"USB MIDI Out", "External"}), 1);
    EXPECT_EQ(ChooseOutputDevice(-2, {}), -1);
    EXPECT_EQ(ChooseOutputDevice(7, {"a", "b", "c"}), -1);
    EXPECT_EQ(ChooseOutputDevice(2, {"a", "b", "c"}), 2);
    EXPECT_EQ(ChooseOutputDevice(-1, {"a"}), -1);
    EXPECT_EQ(ChooseOutputDevice(-5, {"a"}), -1);
}

TEST(WindowLayout, ScreenWidthChoosesTheSizeAndTheSixthWindowOpensLikeTheFirst) {
    EXPECT_EQ(WindowLayout::ForScreenWidth(640).templateBase, 510);
    EXPECT_EQ(WindowLayout::ForScreenWidth(641).templateBase, 505);
    EXPECT_EQ(WindowLayout::ForScreenWidth(800).cascadeWidth, 705);
    EXPECT_EQ(WindowLayout::ForScreenWidth(1920).cascadeHeight, 630);
    const WindowLayout layout = WindowLayout::ForScreenWidth(1920);
    const auto first = layout.Place(0), second = layout.Place(1), sixth = layout.Place(5);
    EXPECT_TRUE(first.maximised);
    EXPECT_FALSE(second.maximised);
    EXPECT_GT(second.x, first.x);
    EXPECT_EQ(sixth.x, first.x);
    EXPECT_EQ(sixth.y, first.y);
}

TEST(ViewStack, EqualHeightsWithTheRemainderAtTheEndOfTheRun) {
    auto slots = ViewStack::Layout(3, 1000, 150, 0);
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0].height, 333);
    EXPECT_EQ(slots[2].y, 666);
    EXPECT_EQ(slots[2].height, 334);
    // Ten views in 700 pixels at 150 each: a run of four, scrolled as far as it goes.
    slots = ViewStack::Layout(10, 700, 150, 9);
    ASSERT_EQ(slots.size(), 4u);
    EXPECT_EQ(slots.front().view, 6);
    EXPECT_EQ(slots.back().view, 9);
    EXPECT_EQ(ViewStack::VisibleCount(1, 50, 150), 1); // one view always shows
    EXPECT_EQ(ViewStack::MinimumHeight(400), 150);
    EXPECT_EQ(ViewStack::MinimumHeight(1080), 270);
}

TEST(KeyDispatch, AssignmentsFirstUndoToTheFrameAndNothingWhileDisabled) {
    KeyTranslator keys;
    keys.SetEntries(KeyTranslator::DefaultTable());
    KeyDispatch dispatch(keys);
    using Action = KeyDispatch::Action;
    auto r = dispatch.Route('A', false, false, false, true);
    EXPECT_EQ(r.action, Action::Forward);
    EXPECT_EQ(r.operation, KeyOperation::AddNoteAfterCurrent);
    EXPECT_EQ(dispatch.Route('Z', false, true, false, true).action, Action::Undo);
    EXPECT_EQ(dispatch.Route('N', false, true, false, true).action, Action::None);   // Ctrl+N: menu
    EXPECT_EQ(dispatch.Route('A', false, false, false, false).action, Action::None); // no song

    // The forced-Ctrl override turns a plain Right into Move Note Forward.
    dispatch.ForceCtrl(true);
    EXPECT_EQ(dispatch.Route(39, false, false, false, true).operation,
              KeyOperation::MoveNoteForward);
    dispatch.ForceCtrl(false);

    dispatch.SetEnabled(false);
    EXPECT_EQ(dispatch.Route('A', false, false, false, true).action, Action::None);
}

TEST(ScriptParser, StatementsCommentsAndErrorsWithTheirLine) {
    std::vector<ScriptStatement> s;
    std::string error;
    ASSERT_TRUE(ParseScript("# open\ncommand 111\n  answer /tmp/a b.mid \n\nkey Shift+PageDown\n"
                            "wait-idle\nscreenshot out.png\n",
                            s, error))
        << error;
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].kind, ScriptStatement::Kind::Command);
    EXPECT_EQ(s[0].number, 111);
    EXPECT_EQ(s[1].argument, "/tmp/a b.mid");
    EXPECT_EQ(s[2].argument, "Shift+PageDown");
    EXPECT_EQ(s[2].line, 5);

    s.clear();
    EXPECT_FALSE(ParseScript("key A\nfrobnicate\n", s, error));
    EXPECT_EQ(error, "line 2: unknown statement \"frobnicate\"");
    EXPECT_FALSE(ParseScript("command x12\n", s, error));
    EXPECT_EQ(error, "line 1: \"x12\" is not a number");
    EXPECT_FALSE(ParseScript("wait-idle now\n", s, error));
    EXPECT_FALSE(ParseScript("key\n", s, error));
}

TEST(ScriptParser, MidiInTakesAFileAndAnOptionalSpeed) {
    std::vector<ScriptStatement> s;
    std::string error;
    ASSERT_TRUE(ParseScript("midi-in /tmp/a b.mid 4\nmidi-in take.mid\nmidi-in none\n", s, error))
        << error;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].kind, ScriptStatement::Kind::MidiIn);
    EXPECT_EQ(s[0].argument, "/tmp/a b.mid");
    EXPECT_EQ(s[0].number, 4);
    EXPECT_EQ(s[1].argument, "take.mid");
    EXPECT_EQ(s[1].number, 1); // real time
    EXPECT_EQ(s[2].argument, "none");
    EXPECT_FALSE(ParseScript("midi-in\n", s, error));
}

TEST(ScriptParser, GraphAndRangeStatementsCarryTheirControllerShapeAndLevels) {
    std::vector<ScriptStatement> s;
    std::string error;
    ASSERT_TRUE(ParseScript("graph on\ngraph on 7\ngraph on pitch-bend\ngraph off\n"
                            "range sine 0 127 10 3\nrange line 64 0\nrange erase\nbars\n",
                            s, error))
        << error;
    ASSERT_EQ(s.size(), 8u);
    EXPECT_TRUE(s[0].on);
    EXPECT_EQ(s[0].controller, -1);
    EXPECT_EQ(s[1].controller, 7);
    EXPECT_EQ(s[2].controller, 255);
    EXPECT_FALSE(s[3].on);
    EXPECT_EQ(s[4].number, 2); // the third shape of the dialog
    EXPECT_EQ(s[4].points, (std::vector<int>{0, 127, 10, 3}));
    EXPECT_EQ(s[5].points, (std::vector<int>{64, 0}));
    EXPECT_EQ(s[6].number, -1);
    EXPECT_EQ(s[7].kind, ScriptStatement::Kind::Bars);
    for (const char* wrong : {"graph on 128\n", "graph maybe\n", "graph off 7\n", "range line 0\n",
                              "range line 0 128\n", "range wave 0 1\n", "range sine 0 1 101 0\n",
                              "range line 0 1 5\n"}) {
        s.clear();
        EXPECT_FALSE(ParseScript(wrong, s, error)) << wrong;
        EXPECT_EQ(error.substr(0, 8), "line 1: ") << wrong;
    }
}
