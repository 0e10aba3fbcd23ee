// "Voice to MIDI Notes" in a real song window on the offscreen platform: a generated
// melody, from a file and sung in through the recorder, against the command line's
// conversion of the same file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <regex>

#include "app/AppCommands.h"
#include "app/SongDocument.h"
#include "app/Startup.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/PitchTraceWidget.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "app/qt/WaveToMIDIDialog.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "playback/FakePlayer.h"
#include "record/WaveBytes.h"
#include "record/WaveCapture.h"
#include "record/WaveToSong.h"
#include "support/MessageLog.h"
#include "support/QtWait.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/INIFile.h"
#include "views/qt/BasicView.h"

namespace {

using namespace wavebytes;

using Answers = MessageLog;

QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QString LabelText(QDialog& dialog, const QString& name) {
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->accessibleName() == name)
            return label->text();
    return "(no label " + name + ")";
}

bool Shows(QDialog& dialog, const QString& button) {
    QPushButton* b = Button(dialog, button);
    return b && b->isVisible();
}

// Once the voice dialog is up and `ready` holds, `act` works it; a dialog that never gets
// ready is cancelled so that the test fails instead of hanging.
void WhenDialog(std::function<bool(WaveToMIDIDialog&)> ready,
                std::function<void(WaveToMIDIDialog&)> act, int tries = 1500) {
    QTimer::singleShot(20, [ready, act, tries] {
        auto* dialog = qobject_cast<WaveToMIDIDialog*>(QApplication::activeModalWidget());
        if (dialog && ready(*dialog)) {
            act(*dialog);
        } else if (tries > 0) {
            WhenDialog(ready, act, tries - 1);
        } else if (dialog) {
            ADD_FAILURE() << "the dialog never got ready";
            dialog->reject();
        }
    });
}

void PressWhenShown(const QString& button) {
    WhenDialog([button](WaveToMIDIDialog& d) { return Shows(d, button); },
               [button](WaveToMIDIDialog& d) { Button(d, button)->click(); });
}

struct PlacedNote {
    std::int32_t tick;
    int key;
    std::int32_t duration;
    int channel;
    std::uint16_t track;
};

std::vector<PlacedNote> Notes(Song& song) {
    std::vector<PlacedNote> out;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        if (it.Msg()->kind == kMsgNote) {
            const auto& n = static_cast<const MidiMsgNote&>(*it.Msg());
            out.push_back({it.Tick(), n.key, n.duration, n.channel, n.track});
        }
    return out;
}

std::string Bytes(Song& song) {
    std::string bytes;
    EXPECT_TRUE(MidiWriter::SongBytes(song, bytes));
    return bytes;
}

class VoiceToNotes : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORLAUNE_HOME", home.Path().c_str(), 1);
        std::string error;
        ASSERT_TRUE(environment.Start(error)) << error;
        app = std::make_unique<TVorlaune>(environment, std::make_unique<FakePlayer>());
        app->Start("");
        ASSERT_TRUE(WaitFor([&] { return app->ActiveWindow() != nullptr; }));
        QApplication::processEvents();
        // A melody sung after a rest: the command line keeps the rest, the dialog leaves
        // it out.
        const auto melody = Sing(Contour()
                                     .Rest(0.4)
                                     .Hold(60, 0.5, 20)
                                     .Rest(0.15)
                                     .Hold(64, 0.5, 20)
                                     .Rest(0.15)
                                     .Hold(67, 0.6, 20)
                                     .Rest(0.15)
                                     .Hold(62, 0.4, 20)
                                     .Rest(0.3));
        wave = home.Write("melody.wav", MonoWave(melody)).string();
    }
    void TearDown() override {
        if (app && !app->Finished()) {
            answers.answers.assign(10, MessageAnswer::No);
            app->Command(cmd::kExit);
            WaitFor([&] { return app->Finished(); });
        }
        app.reset();
    }
    Song& SongOf() { return app->ActiveWindow()->Document().GetSong(); }
    // What `vorlaune -o OUT.mid melody.wav` makes of the melody.
    std::vector<PlacedNote> CommandLineNotes() {
        SongDocument document;
        Message failure;
        EXPECT_TRUE(
            ConvertWaveToSong(wave, INIFile::Global(), document.GetSong(), nullptr, failure))
            << failure.text.str();
        return Notes(document.GetSong());
    }
    // The same notes, the leading rest taken out, as the dialog places them at `at`.
    void ExpectCommandLineNotesAt(std::int32_t at, const std::vector<PlacedNote>& got) {
        const std::vector<PlacedNote> want = CommandLineNotes();
        ASSERT_EQ(want.size(), 4u);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].key, want[i].key) << i;
            EXPECT_EQ(got[i].duration, want[i].duration) << i;
            // Each start is rounded down once from its own microseconds: a tick either way.
            EXPECT_NEAR(got[i].tick - at, want[i].tick - want[0].tick, 1) << i;
        }
    }

    TempDir home;
    Answers answers;
    ProgramEnvironment environment;
    std::unique_ptr<TVorlaune> app;
    std::string wave;
};

} // namespace

TEST_F(VoiceToNotes, AChosenFileGivesTheCommandLinesNotesAsOneUndoableInsert) {
    const std::string before = Bytes(SongOf());
    answers.answers = {MessageAnswer::Cancel};
    answers.files = {wave};
    // Help on the finished dialog, then OK.
    WhenDialog([](WaveToMIDIDialog& d) { return Shows(d, "OK"); },
               [](WaveToMIDIDialog& d) {
                   EXPECT_EQ(LabelText(d, "Message"), "Finished. 4 notes found.");
                   Button(d, "Help")->click();
                   Button(d, "OK")->click();
               });
    app->Command(cmd::kVoiceToNotes);
    ASSERT_NE(app->Help(), nullptr);
    EXPECT_TRUE(app->Help()->CurrentPage().endsWith("voice.html"))
        << app->Help()->CurrentPage().toStdString();

    ASSERT_FALSE(answers.shown.empty());
    const Message& option = answers.shown.front();
    EXPECT_EQ(option.title.str(), "Record Option");
    EXPECT_EQ(option.text.str(), "Click OK to record a new wave segment with your microphone.\n"
                                 "Click cancel to select a preexisting '.WAV' file.");
    EXPECT_EQ(option.icon, MessageIcon::Question);
    EXPECT_EQ(option.buttons, MessageButtons::OkCancel);
    ASSERT_EQ(answers.requests.size(), 1u);
    EXPECT_EQ(answers.requests[0].filter.str(), "Wave Files (*.WAV)|*.wav|");

    ExpectCommandLineNotesAt(0, Notes(SongOf()));
    // One command: one undo gives back the very song.
    app->Command(cmd::kUndo);
    EXPECT_TRUE(Bytes(SongOf()) == before);
    EXPECT_TRUE(Notes(SongOf()).empty());
}

TEST_F(VoiceToNotes, NotesGoInAtThePlayLineOnTheViewsChannelMovingWhatFollows) {
    TMDIDialog& window = *app->ActiveWindow();
    AddToSong(SongOf(), "0 n48 384, 768 n50 384");
    window.SongChanged();
    const std::string path = (home / "chosen.wav").string();
    std::filesystem::copy_file(wave, path);
    // The play/record line at the second note; the strip puts new notes on channel 3.
    window.GetTransport().SetPlayPosition(768);
    auto* strip = dynamic_cast<BasicView*>(window.ActiveView());
    ASSERT_NE(strip, nullptr);
    strip->ChannelList()->setCurrentIndex(2);
    emit strip->ChannelList()->activated(2);
    ASSERT_EQ(strip->Placement().channel, 2);

    PressWhenShown("OK");
    window.WaveToNotes(path);
    const std::vector<PlacedNote> notes = Notes(SongOf());
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes.front().key, 48);
    EXPECT_EQ(notes.front().tick, 0);
    ExpectCommandLineNotesAt(768, {notes.begin() + 1, notes.end() - 1});
    for (auto it = notes.begin() + 1; it != notes.end() - 1; ++it)
        EXPECT_EQ(it->channel, 2);
    // The note that was at the cursor now follows the sung ones.
    EXPECT_EQ(notes.back().key, 50);
    EXPECT_GE(notes.back().tick, notes[4].tick + notes[4].duration);
}

TEST_F(VoiceToNotes, SungInItDrawsThePitchThenConvertsTheTakeAsTheFileConverts) {
    app->QueueMicIn(wave);
    answers.answers = {MessageAnswer::Ok};
    std::size_t framesDrawn = 0;
    QString delayLine;
    WhenDialog(
        [&](WaveToMIDIDialog& d) {
            return Shows(d, "Done") && app->MicInState() == TVorlaune::MicIn::Finished &&
                   d.Trace()->Trace().FrameCount() > 0;
        },
        [&](WaveToMIDIDialog& d) {
            EXPECT_FALSE(Shows(d, "OK"));
            EXPECT_FALSE(Shows(d, "Help"));
            EXPECT_EQ(LabelText(d, "Message"), "Recording...");
            delayLine = LabelText(d, "Processing Delay");
            app->ForgetMicIn();
            Button(d, "Done")->click();
            framesDrawn = d.Trace()->Trace().FrameCount();
            // The pitch followed the singer: the last note held was D (62), or its octave.
            const std::optional<int> held = d.Trace()->Trace().HeldNote();
            EXPECT_TRUE(held && (*held - 62) % 12 == 0) << (held ? *held : -1);
            PressWhenShown("OK");
        });
    app->Command(cmd::kVoiceToNotes);

    EXPECT_GT(framesDrawn, 50u);
    EXPECT_TRUE(std::regex_match(delayLine.toStdString(),
                                 std::regex("Processing Delay: [0-9]+\\.[0-9] seconds     Wave "
                                            "File Size: [0-9]+ KB")))
        << delayLine.toStdString();
    // The take stays in the home directory; its notes are the file's.
    EXPECT_TRUE(std::filesystem::exists(home / WaveCapture::kTakeName));
    ExpectCommandLineNotesAt(0, Notes(SongOf()));
}

TEST_F(VoiceToNotes, CancelNoNotesAndBadFilesLeaveTheSongAsItWas) {
    const std::string before = Bytes(SongOf());
    const auto unchanged = [&] {
        EXPECT_TRUE(Bytes(SongOf()) == before);
        EXPECT_FALSE(app->ActiveWindow()->Document().Commands().CanUndo());
    };
    TMDIDialog& window = *app->ActiveWindow();

    // Cancel while recording stops the recorder and places nothing.
    app->QueueMicIn(wave);
    answers.answers = {MessageAnswer::Ok};
    PressWhenShown("Cancel");
    app->Command(cmd::kVoiceToNotes);
    unchanged();
    app->ForgetMicIn();
    // What was recorded stays; recording again asks first, and No keeps it.
    const std::filesystem::path take = home / WaveCapture::kTakeName;
    ASSERT_TRUE(std::filesystem::exists(take));
    const auto taken = std::filesystem::file_size(take);
    answers.answers = {MessageAnswer::Ok, MessageAnswer::No};
    app->Command(cmd::kVoiceToNotes);
    EXPECT_EQ(answers.shown.back().buttons, MessageButtons::YesNo);
    EXPECT_NE(answers.shown.back().text.str().find(take.string()), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(take), taken);
    unchanged();

    // Silence: the advice, as information.
    const std::string quiet = home.Write("quiet.wav", MonoWave(Silence(1.0))).string();
    window.WaveToNotes(quiet);
    ASSERT_FALSE(answers.shown.empty());
    EXPECT_EQ(answers.shown.back().text.str().rfind("No notes found. Make Sure:\n", 0), 0u);
    EXPECT_EQ(answers.shown.back().title.str(), "Vorlaune");
    EXPECT_EQ(answers.shown.back().icon, MessageIcon::Information);
    unchanged();

    // Not a wave at all: the converter's reason, as an error, shown once.
    const std::size_t shownBefore = answers.shown.size();
    const std::string bad = home.Write("bad.wav", "RIFF....not a wave").string();
    window.WaveToNotes(bad);
    ASSERT_EQ(answers.shown.size(), shownBefore + 1);
    EXPECT_EQ(answers.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_NE(answers.shown.back().text.str().find("Error Occurred Converting"), std::string::npos)
        << answers.shown.back().text.str();
    unchanged();

    // Cancel on the finished dialog throws the notes away.
    WhenDialog([](WaveToMIDIDialog& d) { return Shows(d, "OK"); },
               [](WaveToMIDIDialog& d) { Button(d, "Cancel")->click(); });
    window.WaveToNotes(wave);
    unchanged();
}

TEST_F(VoiceToNotes, ARecorderThatCannotStartSaysWhatFailedAndClosesTheDialog) {
    const std::string before = Bytes(SongOf());
    // Sound that cannot be read stands in for a missing microphone.
    app->QueueMicIn(home.Write("broken.wav", "not a sound file").string());
    answers.answers = {MessageAnswer::Ok};
    // Should the dialog stay open, this closes it and the test fails instead of hanging.
    QTimer::singleShot(10000, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* stuck = qobject_cast<WaveToMIDIDialog*>(w)) {
                ADD_FAILURE() << "the dialog stayed open";
                stuck->done(QDialog::Rejected);
            }
    });
    app->Command(cmd::kVoiceToNotes);
    ASSERT_EQ(answers.shown.size(), 2u);
    const Message& failed = answers.shown.back();
    EXPECT_EQ(failed.title.str(), "Vorlaune");
    EXPECT_EQ(failed.icon, MessageIcon::Exclamation);
    EXPECT_EQ(failed.text.str().rfind("Error occurred recording wave.\n\n", 0), 0u)
        << failed.text.str();
    EXPECT_NE(failed.text.str().find("broken.wav"), std::string::npos) << failed.text.str();
    EXPECT_TRUE(Bytes(SongOf()) == before);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(VoiceToNotes, CancelDuringTheConversionStopsItAndPlacesNothing) {
    const std::string before = Bytes(SongOf());
    std::vector<std::int16_t> take;
    for (int i = 0; i < 12; ++i)
        Append(take, Sing(Contour().Hold(60 + i, 2.0, 20).Rest(0.2)));
    const std::string path = home.Write("long.wav", MonoWave(take)).string();
    int cancelledAt = -1;
    WhenDialog(
        [](WaveToMIDIDialog& d) {
            const int done = d.findChild<QProgressBar*>()->value();
            return done > 0 && done < 100;
        },
        [&](WaveToMIDIDialog& d) {
            cancelledAt = d.findChild<QProgressBar*>()->value();
            Button(d, "Cancel")->click();
        });
    const std::size_t shown = answers.shown.size();
    const auto start = std::chrono::steady_clock::now();
    app->ActiveWindow()->WaveToNotes(path);
    EXPECT_GT(cancelledAt, 0);
    // The worker stops at its next step, long before the 10 s Cancel waits at most.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_EQ(answers.shown.size(), shown);
    EXPECT_TRUE(Bytes(SongOf()) == before);
    EXPECT_FALSE(app->ActiveWindow()->Document().Commands().CanUndo());
}
