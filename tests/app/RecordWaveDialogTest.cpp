#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/RecordWave.h"
#include "app/qt/RecordWaveDialog.h"
#include "edit/CommandProcessor.h"
#include "model/Song.h"
#include "record/WaveBytes.h"
#include "record/WaveCapture.h"
#include "support/HandCaptureSource.h"
#include "support/MessageLog.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using Shown = MessageLog;

QAbstractButton* Button(QDialog& dialog, const QString& text) {
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->text().remove('&') == text)
            return b;
    return nullptr;
}

class RecordWaveWindow : public ::testing::Test {
protected:
    RecordWaveWindow() {
        auto capture = HandFedCapture(dir / "home", source);
        RecordWave::Target target;
        target.song = song.get();
        target.commands = &commands;
        target.songFile = dir / "Tune.mid";
        record = std::make_unique<RecordWave>(target, std::move(capture));
    }

    // Runs the dialog; `step` acts on it once it records (or once it is up, when the
    // recording cannot start).
    RecordWaveDialog::Outcome Run(const std::function<void(QDialog&)>& step) {
        QTimer poll; // ends with the dialog, whether or not it acted
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && (source->sink || source->refuse)) {
                poll.stop();
                step(*dialog);
            }
        });
        poll.start(5);
        return RecordWaveDialog::Run(
            nullptr, *record, [this] { hooks += "started "; }, [this] { hooks += "stopped "; });
    }

    TempDir dir;
    std::unique_ptr<Song> song = BuildSong("0 n60 96", 96);
    CommandProcessor commands;
    HandCaptureSource* source = nullptr;
    std::unique_ptr<RecordWave> record;
    std::string hooks;
    Shown messages;
};

} // namespace

TEST_F(RecordWaveWindow, OnlyDoneAndCancelWorkWhileRecordingAndDoneOffersTheOptions) {
    const auto outcome = Run([this](QDialog& d) {
        EXPECT_EQ(d.windowTitle().toStdString(), "MIDI Record Wave / Voice");
        QLabel* message = d.findChild<QLabel*>();
        QLineEdit* name = d.findChild<QLineEdit*>();
        ASSERT_TRUE(message && name);
        EXPECT_EQ(message->text().toStdString(), "Recording...");
        EXPECT_FALSE(name->isEnabled());
        for (QCheckBox* box : d.findChildren<QCheckBox*>())
            EXPECT_FALSE(box->isEnabled());
        EXPECT_FALSE(Button(d, "Convert wave to MIDI notes")->isEnabled());
        EXPECT_FALSE(Button(d, "OK")->isVisible());
        EXPECT_EQ(hooks, "started ");

        std::vector<std::int16_t> take = wavebytes::Silence(0.25);
        wavebytes::Append(take, wavebytes::Tone(262, 9000, 3, 0.3));
        source->Feed(take);
        Button(d, "Done")->click();
        EXPECT_EQ(hooks, "started stopped ");
        EXPECT_FALSE(record->Capture().Recording());
        EXPECT_EQ(message->text().toStdString(), "Recording Finished - Select Options:");
        EXPECT_EQ(name->text().toStdString(), "Tune.WAV");
        EXPECT_TRUE(name->isEnabled());
        EXPECT_FALSE(Button(d, "Done")->isVisible());
        EXPECT_TRUE(Button(d, "OK")->isVisible());
        name->setText("Sung.WAV");
        Button(d, "OK")->click();
    });
    EXPECT_EQ(outcome, RecordWaveDialog::Outcome::Placed);
    EXPECT_TRUE(fs::exists(dir / "Sung.WAV"));
    EXPECT_EQ(commands.UndoCount(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RecordWaveWindow, CancelStopsAndKeepsTheTakeAndConvertHandsItOver) {
    auto outcome = Run([](QDialog& d) { Button(d, "Cancel")->click(); });
    EXPECT_EQ(outcome, RecordWaveDialog::Outcome::Cancelled);
    EXPECT_EQ(hooks, "started stopped ");
    EXPECT_TRUE(fs::exists(record->TakePath()));
    EXPECT_EQ(commands.UndoCount(), 0u);

    outcome = Run([](QDialog& d) {
        Button(d, "Done")->click();
        Button(d, "Convert wave to MIDI notes")->click();
    });
    EXPECT_EQ(outcome, RecordWaveDialog::Outcome::Convert);
    EXPECT_EQ(commands.UndoCount(), 0u);
}

TEST_F(RecordWaveWindow, AFailedStartIsToldAndEndsTheDialog) {
    source->refuse = true;
    // Should the dialog stay up, it is closed later and the checks below fail.
    EXPECT_EQ(Run([](QDialog& d) { QTimer::singleShot(2000, &d, [&d] { d.reject(); }); }),
              RecordWaveDialog::Outcome::Cancelled);
    EXPECT_EQ(hooks, "started stopped ");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.str(),
              "Error occurred recording wave.\n\nThere is no sound input device.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
}
