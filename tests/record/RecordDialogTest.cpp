// The "MIDI Record" dialog on the offscreen platform: what it shows while recording, after
// Done, and what OK and Cancel do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ManualMidiInput.h"
#include "model/Song.h"
#include "playback/FakePlayer.h"
#include "record/MidiRecorder.h"
#include "record/qt/RecordDialog.h"
#include "support/SongBuilder.h"
#include "views/qt/MusicalTimeEdit.h"

namespace {

template <class T> T* Named(QDialog& dialog, const QString& name) {
    for (T* w : dialog.findChildren<T*>())
        if (w->accessibleName() == name || w->property("text").toString() == name)
            return w;
    ADD_FAILURE() << "no field " << name.toStdString();
    return nullptr;
}

struct Fixture {
    Fixture() {
        inputs.AddPort("Keys");
        song = BuildSong("0 n60 384");
        session = std::make_unique<MidiRecordSession>(*song, 500000, 0, true, recorder);
        dialog = std::make_unique<RecordDialog>(
            nullptr, *song, *session, [] {}, [this] { ++stops; });
    }
    RecordingSink sink;
    ManualMidiInput inputs;
    MidiRecorder recorder{inputs, nullptr};
    std::unique_ptr<Song> song;
    std::unique_ptr<MidiRecordSession> session;
    std::unique_ptr<RecordDialog> dialog;
    int stops = 0;
};

} // namespace

TEST(RecordDialog, RecordsWithTheOptionsLockedThenOffersThemAfterDone) {
    Fixture f;
    RecordDialog& d = *f.dialog;
    ASSERT_TRUE(d.Begin());
    d.show();
    EXPECT_EQ(Named<QLabel>(d, "Message")->text().toStdString(), "Recording...");
    auto* alignTo = Named<QComboBox>(d, "Align To");
    ASSERT_EQ(alignTo->count(), 10);
    EXPECT_EQ(alignTo->itemText(0).toStdString(), "No Align");
    EXPECT_EQ(alignTo->itemText(9).toStdString(), "Sixty Fourth");
    EXPECT_FALSE(alignTo->isEnabled());
    EXPECT_TRUE(Named<QRadioButton>(d, "Mix")->isChecked());
    EXPECT_TRUE(
        Named<QRadioButton>(d, "Force to Current Track / Channel / Instrument")->isChecked());
    EXPECT_TRUE(d.DoneButton()->isVisible());

    f.inputs.Play(0, 0x90, 64, 100, 0);
    f.inputs.Play(0, 0x80, 64, 0, 2500); // five quarters
    QTest::qWait(3 * RecordDialog::kDrainMs);
    d.DoneButton()->click();
    EXPECT_EQ(f.stops, 1);
    EXPECT_EQ(Named<QLabel>(d, "Message")->text().toStdString(),
              "Recording Finished - Select Options:");
    EXPECT_FALSE(d.DoneButton()->isVisible());
    EXPECT_TRUE(alignTo->isEnabled());
    EXPECT_EQ(Named<MusicalTimeEdit>(d, "Amount Of Time")->Text().toStdString(), "1:1:0");
    auto* beginnings = Named<QCheckBox>(d, "Align note beginnings");
    EXPECT_FALSE(beginnings->isEnabled());
    alignTo->setCurrentIndex(4);
    EXPECT_TRUE(beginnings->isEnabled());
    auto* amount = Named<MusicalTimeEdit>(d, "Amount Of Time");
    EXPECT_FALSE(amount->isEnabled());
    Named<QCheckBox>(d, "Fit to time")->setChecked(true);
    EXPECT_TRUE(amount->isEnabled());

    // A zero fit is refused and the dialog stays; a good one closes it with the choice.
    amount->SetText("0:0:0");
    d.accept();
    ASSERT_FALSE(f.sink.shown.empty());
    EXPECT_EQ(f.sink.shown.back().text.str(), "Fit-To length is zero!");
    EXPECT_TRUE(d.isVisible());
    amount->SetText("2:0:0");
    beginnings->setChecked(true);
    Named<QRadioButton>(d, "Insert")->setChecked(true);
    d.accept();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Placement().method, 2);
    EXPECT_EQ(d.Placement().grid, 192);
    EXPECT_TRUE(d.Placement().align);
    EXPECT_EQ(d.Placement().fitLength, 2 * 1536);
    ASSERT_NE(f.session->TakeSong(), nullptr);
}

TEST(RecordDialog, HelpWhileRecordingThenCancelStopsAndKeepsNothing) {
    Fixture f;
    RecordDialog& d = *f.dialog;
    ASSERT_TRUE(d.Begin());
    d.show();
    f.inputs.Play(0, 0x90, 64, 100, 0);
    f.inputs.Play(0, 0x80, 64, 0, 100);
    int helped = 0;
    d.SetHelp([&] { ++helped; });
    Named<QPushButton>(d, "Help")->click(); // help while recording goes on recording
    EXPECT_EQ(helped, 1);
    EXPECT_TRUE(d.isVisible());
    d.reject();
    EXPECT_TRUE(f.inputs.ports[0].stopped);
    EXPECT_EQ(f.stops, 1);
    EXPECT_EQ(f.session->TakeSong(), nullptr);
}
