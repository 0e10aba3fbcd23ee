// The main window and song windows on Qt's offscreen platform, with a player that plays
// nothing and a message seam that answers as a test tells it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/AppCommands.h"
#include "app/CommandTable.h"
#include "app/SongDocument.h"
#include "app/Startup.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/PrintPreview.h"
#include "app/qt/QtPostTarget.h"
#include "app/qt/TFrameWin.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "devices/MidiDevice.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "playback/FakePlayer.h"
#include "playback/VorlauneGuts.h"
#include "support/QtWait.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/INIFile.h"
#include "views/ControllerSelChoice.h"
#include "views/StaffPrinter.h"
#include "views/qt/BasicView.h"
#include "views/qt/ControllerBand.h"
#include "views/qt/PianoRollView.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffView.h"

namespace {

// Records every message and answers from a queue; a question without an answer gets
// Cancel.
class AnsweringSink : public MessageSink {
public:
    AnsweringSink() : previous_(SetMessageSink(this)) {}
    ~AnsweringSink() override { SetMessageSink(previous_); }
    MessageAnswer Show(const Message& message) override {
        shown.push_back(message.title.str() + " | " + message.text.str());
        if (!answers.empty()) {
            const MessageAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
    bool ChooseFile(const FileRequest& request, std::string& chosen) override {
        asked.push_back(request.title.str());
        if (files.empty())
            return false;
        chosen = files.front();
        files.pop_front();
        return true;
    }
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    std::deque<MessageAnswer> answers;
    std::deque<std::string> files;

private:
    MessageSink* previous_;
};

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Works the modal dialogs as they open, one step each: a step waits until a dialog with
// its title is the modal one, then fills or presses what it needs. The next step is
// watched for before a step runs, since a step may open a dialog of its own.
struct DialogStep {
    QString title;
    std::function<void(QDialog&)> act;
};
void OnDialogs(std::shared_ptr<std::deque<DialogStep>> steps, int tries = 500) {
    QTimer::singleShot(10, [steps, tries] {
        if (steps->empty() || tries == 0)
            return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->windowTitle() != steps->front().title) {
            OnDialogs(steps, tries - 1);
            return;
        }
        const DialogStep step = steps->front();
        steps->pop_front();
        OnDialogs(steps);
        step.act(*dialog);
    });
}
void OnDialogs(std::deque<DialogStep> steps) {
    OnDialogs(std::make_shared<std::deque<DialogStep>>(std::move(steps)));
}

// A dialog's input by the name scripts use.
template <class T> T* Field(QDialog& dialog, const QString& name) {
    for (T* w : dialog.findChildren<T*>())
        if (w->accessibleName() == name)
            return w;
    ADD_FAILURE() << "no field " << name.toStdString();
    return nullptr;
}

QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override { setenv("VORLAUNE_HOME", home.Path().c_str(), 1); }
    void Start(const std::string& iniExtra = "", const std::string& file = "") {
        std::string error;
        ASSERT_TRUE(environment.Start(error)) << error;
        if (!iniExtra.empty()) {
            const std::string ini = TempDir::Read(home / INIFile::kFileName);
            home.Write(INIFile::kFileName, ini + iniExtra);
        }
        auto fake = std::make_unique<FakePlayer>();
        player = fake.get();
        app = std::make_unique<TVorlaune>(environment, std::move(fake));
        app->Start(file);
        ASSERT_TRUE(WaitFor([&] { return app->ActiveWindow() != nullptr; }));
        Settle();
    }
    void TearDown() override {
        if (app && !app->Finished()) {
            sink.answers.assign(20, MessageAnswer::No);
            app->Command(cmd::kExit);
            WaitFor([&] { return app->Finished(); });
        }
        app.reset();
    }
    std::string SaveSong(const std::string& name, const std::string& text) {
        auto song = BuildSong(text);
        const auto path = home / name;
        EXPECT_TRUE(MidiWriter::SaveSong(*song, path));
        return path.string();
    }
    TMDIDialog& Active() { return *app->ActiveWindow(); }
    void Open(const std::string& file) {
        const std::size_t before = app->SongWindows().size();
        ASSERT_TRUE(app->OpenFile(file));
        WaitFor([&] { return !app->SongWindows().empty() && app->ActiveWindow(); });
        (void)before;
        Settle();
    }
    bool Shown(const std::string& line) const {
        return std::find(sink.shown.begin(), sink.shown.end(), line) != sink.shown.end();
    }
    std::vector<QString> FileMenuEntries(int firstId, int count) {
        std::vector<QString> out;
        QMenu* file = app->Frame()->Menu("&File");
        for (QAction* a : file->actions())
            if (a->data().toInt() >= firstId && a->data().toInt() < firstId + count)
                out.push_back(a->text());
        return out;
    }

    TempDir home;
    AnsweringSink sink;
    ProgramEnvironment environment;
    FakePlayer* player = nullptr;
    std::unique_ptr<TVorlaune> app;
};

} // namespace

TEST_F(Windows, OpeningAfterStartReplacesTheEmptySongAndASecondOpenAddsAWindow) {
    Start();
    ASSERT_EQ(app->SongWindows().size(), 1u);
    EXPECT_EQ(Active().Caption().toStdString(), "UNTITLED");
    EXPECT_EQ(app->MenuId(), cmd::kMenuBasic);
    const std::string a = SaveSong("a.mid", "0 n60 384");
    const std::string b = SaveSong("b.mid", "0 n62 384");
    Open(a);
    ASSERT_TRUE(WaitFor([&] { return Active().Caption().toStdString() == a; }));
    EXPECT_EQ(app->SongWindows().size(), 1u);
    Open(b);
    EXPECT_EQ(app->SongWindows().size(), 2u);
    EXPECT_EQ(Active().Caption().toStdString(), b);
    // The window list names both, in the order they opened.
    QMenu* window = app->Frame()->Menu("&Window");
    QStringList listed;
    for (QAction* action : window->actions())
        if (action->data().toInt() >= cmd::kWindowFirst)
            listed << action->text();
    EXPECT_EQ(listed,
              (QStringList{"&1 " + QString::fromStdString(a), "&2 " + QString::fromStdString(b)}));
}

TEST_F(Windows, HistoryKeepsFiveAndAVanishedFileLeavesIt) {
    Start("FILE_HISTORY_1=/nowhere/gone.mid\n");
    EXPECT_EQ(FileMenuEntries(cmd::kHistoryFirst, 5).size(), 1u);
    app->Command(cmd::kHistoryFirst);
    EXPECT_TRUE(Shown("Read Error: | There was a problem opening this file.\n\n/nowhere/gone.mid: "
                      "No such file or directory"));
    EXPECT_TRUE(FileMenuEntries(cmd::kHistoryFirst, 5).empty());

    std::vector<std::string> files;
    for (int i = 1; i <= 6; ++i)
        files.push_back(SaveSong("s" + std::to_string(i) + ".mid", "0 n60 96"));
    for (const std::string& f : files)
        Open(f);
    const auto entries = FileMenuEntries(cmd::kHistoryFirst, 5);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.front().toStdString(), "&1 " + files[5]);
    EXPECT_EQ(entries.back().toStdString(), "&5 " + files[1]);

    sink.answers.assign(10, MessageAnswer::No);
    app->Command(cmd::kExit);
    ASSERT_TRUE(WaitFor([&] { return app->Finished(); }));
    INIFile ini(home.Path());
    AString value;
    EXPECT_TRUE(ini.ReadString("FILE_HISTORY_5", value));
    EXPECT_EQ(value.str(), files[1]);
    EXPECT_FALSE(ini.ReadString("FILE_HISTORY_6", value));
}

TEST_F(Windows, TwelveTracksOpenTenViewsAndNewViewRefusesAnEleventh) {
    Start();
    std::string text = "0 n60 96";
    for (int t = 1; t < 12; ++t)
        text += ", 0 t" + std::to_string(t) + " c" + std::to_string(t % 16) + " n60 96";
    Open(SaveSong("twelve.mid", text));
    ASSERT_TRUE(WaitFor([&] { return Active().Views().size() == 10; }));
    app->Command(cmd::kNewView);
    EXPECT_TRUE(Shown("Vorlaune | Because of resource limitations, there is a limit on the "
                      "number of views created.\n\nTo see another track, select the 'Track #' "
                      "filter button and select the appropriate tracks"));
    EXPECT_EQ(Active().Views().size(), 10u);

    // An empty song has one view; New View adds a second on the last track there is.
    app->Command(cmd::kNewSong);
    ASSERT_TRUE(WaitFor([&] { return Active().Views().size() == 1; }));
    app->Command(cmd::kNewView);
    EXPECT_EQ(Active().Views().size(), 2u);
    EXPECT_EQ(Active().ActiveViewIndex(), 1);
}

TEST_F(Windows, DeleteTrackAsksAndItsUndoGivesEachViewItsTrackBack) {
    Start();
    app->Command(cmd::kDeleteTrack);
    EXPECT_TRUE(Shown("Vorlaune | There must be at least 2 tracks active to delete one."));
    app->Command(cmd::kTrackProperties);
    EXPECT_TRUE(Shown("Vorlaune | This operation can not be performed\nsince there are no "
                      "notes in the song,\nand therefore no tracks."));
    Open(SaveSong("three.mid", "0 t0 c0 n60 384, 0 t1 c1 n64 384, 0 t2 c2 n67 384"));
    ASSERT_EQ(Active().Views().size(), 3u);
    Active().ActivateView(1);
    auto tracks = [&] {
        std::vector<std::size_t> shown;
        for (SubWindow* v : Active().Views()) {
            const auto& f = static_cast<BasicView*>(v)->Filter();
            std::size_t t = 0;
            while (t < 8 && !f.TrackSelected(t))
                ++t;
            shown.push_back(t);
        }
        return shown;
    };
    ASSERT_EQ(tracks(), (std::vector<std::size_t>{0, 1, 2}));

    // The active view's track is offered first; No keeps it.
    int offered = -1;
    auto accept = [&](QDialog& d) {
        offered = Field<QComboBox>(d, "Track to delete")->currentIndex();
        d.accept();
    };
    OnDialogs({{"Delete Track", accept}});
    sink.answers = {MessageAnswer::No};
    app->Command(cmd::kDeleteTrack);
    EXPECT_EQ(offered, 1);
    EXPECT_TRUE(Shown("Vorlaune | Are you sure you want to delete track #2"));
    EXPECT_EQ(Active().Document().GetSong().TrackCount(), 3u);

    OnDialogs({{"Delete Track", accept}});
    sink.answers = {MessageAnswer::Yes};
    app->Command(cmd::kDeleteTrack);
    Song& song = Active().Document().GetSong();
    ASSERT_EQ(song.TrackCount(), 2u);
    // The view of the deleted track falls back to track 1; the last view follows its
    // track down.
    EXPECT_EQ(tracks(), (std::vector<std::size_t>{0, 0, 1}));
    Active().Undo();
    EXPECT_EQ(song.TrackCount(), 3u);
    EXPECT_EQ(tracks(), (std::vector<std::size_t>{0, 1, 2}));
    Active().Redo();
    EXPECT_EQ(tracks(), (std::vector<std::size_t>{0, 0, 1}));
}

TEST_F(Windows, TheTempoListAddsAndChangesEntriesAndSaysWhatItRefuses) {
    Start();
    Open(SaveSong("tempo.mid", "0 n60 384, 6144 n62 384"));
    Song& song = Active().Document().GetSong();
    QStringList listed;
    auto addAt = [](const char* time, int bpm) {
        return [=](QDialog& d) {
            Field<QLineEdit>(d, "At Time (bar:beat:tick)")->setText(time);
            Field<QSpinBox>(d, "Beats per Minute")->setValue(bpm);
            d.accept();
        };
    };
    OnDialogs({
        {"Tempo Changes", [](QDialog& d) { Button(d, "Add...")->click(); }},
        {"Tempo Change", addAt("3:1:0", 60)},
        {"Tempo Changes",
         [&](QDialog& d) {
             auto* list = Field<QListWidget>(d, "Changes");
             for (int i = 0; i < list->count(); ++i)
                 listed << list->item(i)->text();
             list->setCurrentRow(1);
             Button(d, "Change...")->click();
         }},
        // Onto the first entry: refused, and the dialog stays open with the typed time.
        {"Tempo Change", addAt("1:1:0", 60)},
        {"Tempo Change",
         [](QDialog& d) {
             EXPECT_EQ(Field<QLineEdit>(d, "At Time (bar:beat:tick)")->text(), "1:1:0");
             d.reject();
         }},
        {"Tempo Changes", [](QDialog& d) { d.reject(); }},
    });
    app->Command(cmd::kTempo);
    EXPECT_EQ(listed, (QStringList{"1:1:0  120 beats per minute", "3:1:0  60 beats per minute"}));
    EXPECT_TRUE(
        Shown("Vorlaune | Cannot accept time value: Time is before previous tempo entry's time."));
    ASSERT_EQ(song.TempoCount(), 2u);
    EXPECT_EQ(song.Tempos()[1].tick, 3072);
    EXPECT_EQ(song.Tempos()[1].tempo, 1000000);
    EXPECT_TRUE(Active().IsModified());
    Active().Undo();
    EXPECT_EQ(song.TempoCount(), 1u);
}

TEST_F(Windows, ClosingAsksToSaveOnlyWhenTheSongDiffersFromTheSavedOne) {
    Start();
    Open(SaveSong("song.mid", "0 n60 384, 384 n62 384"));
    // No edit since the save: no question.
    app->Command(cmd::kCloseSong);
    ASSERT_TRUE(WaitFor([&] { return app->SongWindows().empty(); }));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(app->MenuId(), cmd::kMenuNoSong);

    Open((home / "song.mid").string());
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    const std::string question =
        "Vorlaune | Do you want to save changes to " + (home / "song.mid").string() + " ?";
    // Cancel keeps the window.
    sink.answers = {MessageAnswer::Cancel};
    app->Command(cmd::kCloseSong);
    Settle();
    EXPECT_EQ(app->SongWindows().size(), 1u);
    EXPECT_EQ(std::count(sink.shown.begin(), sink.shown.end(), question), 1);

    // Saved, then undone: the song on screen is not the one on disk, so it asks.
    app->Command(cmd::kSaveSong);
    app->Command(cmd::kUndo);
    EXPECT_TRUE(Active().IsModified());
    // ... and undone, redone: the saved song again, no question.
    app->Command(cmd::kRedo);
    EXPECT_FALSE(Active().IsModified());
    sink.shown.clear();
    app->Command(cmd::kCloseSong);
    ASSERT_TRUE(WaitFor([&] { return app->SongWindows().empty(); }));
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Windows, ExitCancelledByOneOfTwoModifiedSongsKeepsEverythingOpen) {
    Start();
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    app->Command(cmd::kNewSong);
    Settle();
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    ASSERT_EQ(app->SongWindows().size(), 2u);
    sink.answers = {MessageAnswer::No, MessageAnswer::Cancel};
    app->Command(cmd::kExit);
    Settle();
    EXPECT_FALSE(app->Finished());
    EXPECT_EQ(app->SongWindows().size(), 2u);
    // The first window's "No" was withdrawn with the exit: it asks again next time.
    for (TMDIDialog* window : app->SongWindows())
        EXPECT_TRUE(window->IsModified());
    sink.shown.clear();
    sink.answers = {MessageAnswer::No, MessageAnswer::No};
    app->Command(cmd::kExit);
    ASSERT_TRUE(WaitFor([&] { return app->Finished(); }));
    EXPECT_EQ(sink.shown.size(), 2u);
}

TEST_F(Windows, KeysGoThroughTheAssignmentsBeforeTheMenusAndUndoNamesTheCommand) {
    Start();
    QAction* undo = app->Frame()->Action(cmd::kUndo);
    EXPECT_EQ(undo->text(), "Undo");
    EXPECT_FALSE(undo->isEnabled());
    // A real key press: "E" is Add Note At End.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : app->Frame();
    QTest::keyClick(target, Qt::Key_E);
    Settle();
    EXPECT_EQ(Active().Document().GetSong().PointCount(), 1u);
    EXPECT_EQ(undo->text(), "Undo Put Item");
    EXPECT_TRUE(undo->isEnabled());
    // Ctrl+Z belongs to the key table (Undo); Ctrl+S to the menu, which asks for a name.
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Active().Document().GetSong().PointCount(), 0u);
    EXPECT_EQ(app->Frame()->Action(cmd::kRedo)->text(), "Redo Put Item");
    QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(sink.asked, (std::vector<std::string>{"Save As"}));
    // While the key table is off (its dialog is open) nothing is dispatched.
    app->Keys().SetEnabled(false);
    EXPECT_FALSE(app->OfferKey(Qt::Key_E, Qt::NoModifier, true));
    app->Keys().SetEnabled(true);
}

TEST_F(Windows, TheNoteLengthButtonsAreOneGroupAndFollowTheCurrentNote) {
    Start();
    auto* view = dynamic_cast<StaffView*>(Active().ActiveView());
    ASSERT_NE(view, nullptr);
    auto down = [&] {
        int count = 0, which = -1;
        for (int i = 0; i < 7; ++i)
            if (view->LengthButton(i)->isChecked()) {
                ++count;
                which = i;
            }
        return count == 1 ? which : -count;
    };
    EXPECT_EQ(down(), 4); // a quarter to begin with
    view->LengthButton(3)->click();
    EXPECT_EQ(down(), 3);
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    EXPECT_EQ(view->Editor().CurrentNote()->duration, 192); // an eighth at 384
    Active().KeyOperationCommand(KeyOperation::DotSelectedNote);
    EXPECT_EQ(down(), 3);
    EXPECT_TRUE(view->DotButton()->isChecked());
    // The 1/64 button lets go of the triplet toggle.
    view->TripletButton()->click();
    view->LengthButton(0)->click();
    EXPECT_FALSE(view->TripletButton()->isChecked());
    EXPECT_EQ(down(), 0);
}

TEST_F(Windows, ClosingAPlayingWindowStopsThePlayerFirst) {
    Start();
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    Active().Command(cmd::kPlay);
    EXPECT_EQ(player->Count("start"), 1);
    EXPECT_TRUE(app->Guts().PlayingSong() != nullptr);
    sink.answers = {MessageAnswer::No};
    app->Command(cmd::kCloseSong);
    ASSERT_TRUE(WaitFor([&] { return app->SongWindows().empty(); }));
    EXPECT_GE(player->Count("settostop"), 1);
    EXPECT_EQ(app->Guts().PlayingSong(), nullptr);
    // The stopped notice that follows reaches no window.
    QCoreApplication::postEvent(app.get(), new PostedMessage(cmd::kPlayerStopped, 0));
    Settle();
    EXPECT_EQ(player->Count("stopmusic"), 1);
}

TEST_F(Windows, OutputDeviceSettingsWithoutPortsMeanTheSynthesizer) {
    Start("DEFAULTOUTPUT=7\n");
    EXPECT_EQ(app->OutputDevice(), -1);
    EXPECT_EQ(environment.Settings().ReadInt("DEFAULTOUTPUT", 99), -1);
    EXPECT_TRUE(app->Frame()->Action(cmd::kMidiMapper)->isChecked());
}

TEST_F(Windows, BasicModeIsRefusedForASongWithTwoChannelsOnATrack) {
    Start();
    Open(SaveSong("mixed.mid", "0 c0 n60 96, 96 c1 n62 96"));
    EXPECT_EQ(app->MenuId(), cmd::kMenuAdvanced);
    app->Command(cmd::kBasicMode);
    EXPECT_TRUE(Shown("Vorlaune | Basic mode cannot be used\nwhen the song has more\nthan one "
                      "channel or\ninstrument per track."));
    EXPECT_EQ(app->MenuId(), cmd::kMenuAdvanced);
}

// Each help command shows its page in the one help window; F1 is the contents.
TEST_F(Windows, HelpCommandsShowTheirPages) {
    Start();
    const std::pair<int, const char*> pages[] = {{cmd::kHelpMouse, "Mouse Commands"},
                                                 {cmd::kHelpToolbar, "Toolbar"},
                                                 {cmd::kHelpTroubleshooting, "Troubleshooting"},
                                                 {cmd::kHelpContents, "Vorlaune Help"}};
    for (const auto& [id, title] : pages) {
        app->Command(id);
        ASSERT_NE(app->Help(), nullptr);
        EXPECT_EQ(app->Help()->Browser()->documentTitle().toStdString(), title);
        EXPECT_TRUE(app->Help()->isVisible());
    }
    EXPECT_STREQ(FindCommand(cmd::kHelpContents)->shortcut, "F1");
}

TEST_F(Windows, AChordFileBringsItsNoticeAndLaterWindowsSaySo) {
    Start();
    Open(SaveSong("chords.mid", "0 n60 96, 0 n64 96"));
    EXPECT_TRUE(std::any_of(sink.shown.begin(), sink.shown.end(), [](const std::string& s) {
        return s.rfind("Vorlaune | Note: This file controls the chords used\n", 0) == 0;
    }));
    // Transpose has its dialog, which needs a selection first.
    app->Command(cmd::kTranspose);
    EXPECT_EQ(sink.shown.back(), "Vorlaune |      Cannot do Transpose:\n\nSelect a range of notes "
                                 "first.");
}

TEST_F(Windows, AMidiFileDroppedOnTheMainWindowOpensAndOtherFilesDoNot) {
    Start();
    const std::string song = SaveSong("dropped.mid", "0 n60 96");
    const auto drop = [&](const std::string& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(app->Frame(), &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app->Frame(), &dropped);
        Settle();
    };
    drop((home / "notes.txt").string());
    EXPECT_EQ(Active().Caption().toStdString(), "UNTITLED");
    drop(song);
    ASSERT_TRUE(WaitFor([&] { return Active().Caption().toStdString() == song; }));
}

TEST_F(Windows, TheForcedCtrlMessagesTurnPlainKeysIntoTheirCtrlForms) {
    Start();
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    QCoreApplication::postEvent(app.get(), new PostedMessage(cmd::kForceCtrl, 0));
    Settle();
    // A plain Z taken as Ctrl+Z: Undo.
    EXPECT_TRUE(app->OfferKey(Qt::Key_Z, Qt::NoModifier, true));
    EXPECT_EQ(Active().Document().GetSong().PointCount(), 0u);
    QCoreApplication::postEvent(app.get(), new PostedMessage(cmd::kReleaseCtrl, 0));
    Settle();
    EXPECT_FALSE(app->OfferKey(Qt::Key_Z, Qt::NoModifier, true));
}

TEST_F(Windows, AChangedNoteSoundsAfterThePauseAndOnlyWithTheOptionOn) {
    Start();
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd); // pitch 60
    const auto sounded = [&](const std::string& call) {
        return std::count(player->calls.begin(), player->calls.end(), call);
    };
    Active().SetOption(TMDIDialog::kHesitatePlay, true);
    Active().KeyOperationCommand(KeyOperation::UpInPitch);
    Active().KeyOperationCommand(KeyOperation::UpInPitch); // within the pause: one sound
    EXPECT_EQ(sounded("live 144 62 96"), 0);
    ASSERT_TRUE(WaitFor([&] { return sounded("live 144 62 96") == 1; }, 2000));
    ASSERT_TRUE(WaitFor([&] { return sounded("live 128 62 0") == 1; }, 3000));
    EXPECT_EQ(sounded("live 144 61 96"), 0);

    Active().SetOption(TMDIDialog::kHesitatePlay, false);
    Active().KeyOperationCommand(KeyOperation::DownInPitch);
    QTest::qWait(400);
    EXPECT_EQ(sounded("live 144 61 96"), 0);
}

// Pages of a PDF file: the page objects, told from the page tree by the
// letter after "/Type /Page".
static int PdfPageCount(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex page("/Type\\s*/Page(?![a-zA-Z])");
    return static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page),
                                          std::sregex_iterator()));
}

TEST_F(Windows, ThePrintPreviewHasThePagesOfTheCommandLineExportAndPagesThroughThem) {
    const std::filesystem::path piece =
        std::filesystem::path(VORLAUNE_CORPUS_DIR) / "midi-edge" / "test-all-gm-sounds.mid";
    if (!std::filesystem::exists(piece))
        GTEST_SKIP() << "the shared corpus is not at " << VORLAUNE_CORPUS_DIR;
    Start();
    Open(piece.string());
    std::unique_ptr<PagePainter> painter = Active().ActiveView()->MakePrinter();
    ASSERT_TRUE(painter);
    PrintPreview preview(app->Frame(), *painter, app->Printer());

    ViewFilter filter;
    ViewOptions options;
    std::string error;
    ASSERT_TRUE(ChoosePrintTracks(Active().Document().GetSong(), 1, filter, options, error));
    int exported = 0;
    ASSERT_TRUE(StaffExport::WritePdf(Active().Document().GetSong(), filter, options,
                                      home / "track1.pdf", exported, error))
        << error;
    ASSERT_GT(exported, 2);
    EXPECT_EQ(preview.PageCount(), exported);

    EXPECT_EQ(preview.StatusText(), "Page 1");
    preview.SetTwoPages(true);
    EXPECT_EQ(preview.StatusText(), "Page 1 - 2");
    preview.Previous(); // already at the first page
    EXPECT_EQ(preview.FirstShown(), 1);
    for (int i = 0; i < exported + 3; ++i)
        preview.Next();
    EXPECT_EQ(preview.SecondShown(), exported);
    EXPECT_EQ(preview.StatusText(), QString("Page %1 - %2").arg(exported - 1).arg(exported));
    preview.SetTwoPages(false);
    EXPECT_EQ(preview.StatusText(), QString("Page %1").arg(exported - 1));

    // Printing to a file from the print dialog gives the export's pages.
    QPrinter& printer = app->Printer();
    const std::filesystem::path printed = home / "printed.pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed.string()));
    int printedCount = 0;
    ASSERT_TRUE(PrintPages(*painter, printer, 0, 0, &printedCount));
    printer.setOutputFileName(QString());
    EXPECT_EQ(printedCount, exported);
    EXPECT_EQ(PdfPageCount(printed), exported);
}

TEST_F(Windows, ThePianoRollEditsWithKeysAndCarriesTheControllerGraphAcrossKinds) {
    Start();
    Active().ChangeViewKind(Active().ActiveView(), SubWindow::kPianoRoll);
    Settle();
    auto* roll = dynamic_cast<PianoRollView*>(Active().ActiveView());
    ASSERT_NE(roll, nullptr);
    // No track yet: no settings.
    roll->Settings();
    EXPECT_TRUE(Shown("Vorlaune | A note needs to be put down before options can be changed."));
    // The keys of the staff work here too; the bar follows the note.
    Active().KeyOperationCommand(KeyOperation::AddNoteAtEnd);
    Active().KeyOperationCommand(KeyOperation::UpInPitch);
    roll->repaint();
    ASSERT_EQ(roll->Drawer().Bars().size(), 1u);
    const std::int32_t pitch = roll->Drawer().Bars().front().pitch;
    EXPECT_EQ(pitch, roll->Editor().CurrentNote()->key);
    EXPECT_NE(pitch, 60);

    // The song's device names the controllers: in the selection list and in the graph.
    const Song& song = Active().Document().GetSong();
    const ControllerSelChoice choice(dynamic_cast<const MidiDevice*>(&song.Device()));
    EXPECT_EQ(choice.Entries()[8].str(), "7 - Volume");
    EXPECT_EQ(choice.Entries()[4].str(), "3");
    EXPECT_EQ(ControllerView::LimitsOf(song, 7).name.str(), "Volume");
    EXPECT_TRUE(ControllerView::LimitsOf(song, 64).onOff);

    // The graph takes the bottom of the view, and stays when the view changes kind.
    const int rollHeight = roll->VerticalBar()->height();
    Active().SetOption(TMDIDialog::kShowControllerGraph, true);
    Settle();
    ASSERT_NE(roll->Graph(), nullptr);
    EXPECT_EQ(roll->VerticalBar()->height(), rollHeight - ControllerView::kStripHeight);
    EXPECT_FALSE(roll->SetGraphController(32));
    EXPECT_TRUE(
        Shown("Vorlaune | Controllers 0 and 32 are reserved\nfor the bank select command."));
    EXPECT_TRUE(roll->SetGraphController(kPitchBend));
    // It shares the view's time axis: when the view scrolls, the graph is painted anew.
    struct PaintCounter : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    Settle();
    roll->Graph()->installEventFilter(&paints);
    Active().ScrollTo(1536);
    Settle();
    EXPECT_GT(paints.count, 0);
    roll->Graph()->removeEventFilter(&paints);
    Active().ChangeViewKind(roll, SubWindow::kStaff);
    Settle();
    auto* staff = dynamic_cast<StaffView*>(Active().ActiveView());
    ASSERT_NE(staff, nullptr);
    EXPECT_NE(staff->Graph(), nullptr);
    Active().SetOption(TMDIDialog::kShowControllerGraph, false);
    Settle();
    EXPECT_EQ(staff->Graph(), nullptr);
}
