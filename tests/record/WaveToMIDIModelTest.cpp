#include <gtest/gtest.h>

#include "record/WaveToMIDIModel.h"
#include "record/WaveToNotes.h"

using M = WaveToMIDIModel;

TEST(WaveToMIDIModel, ANewTakeRecordsUntilDoneThenConvertsAndOffersTheNotes) {
    M model;
    EXPECT_EQ(model.Open(true), M::kStartRecorder);
    M::Look look = model.Shown();
    EXPECT_EQ(look.message, "Recording...");
    EXPECT_TRUE(look.done && look.cancel && look.delayLine);
    EXPECT_FALSE(look.ok || look.help);
    // OK means nothing until there are notes.
    EXPECT_EQ(model.PressOk(), M::kNothing);

    EXPECT_EQ(model.PressDone(), M::kStopRecorder | M::kStartWorker);
    look = model.Shown();
    EXPECT_EQ(look.message, "Wave to MIDI Processing...");
    EXPECT_TRUE(look.help && look.cancel);
    EXPECT_FALSE(look.done || look.ok || look.delayLine);
    EXPECT_EQ(model.PressDone(), M::kNothing);

    EXPECT_EQ(model.ConversionEnded(12, false, ""), M::kNothing);
    EXPECT_EQ(model.GetState(), M::State::Finished);
    look = model.Shown();
    EXPECT_EQ(look.message, "Finished. 12 notes found.");
    EXPECT_TRUE(look.ok && look.help && look.cancel);
    EXPECT_FALSE(look.done || look.delayLine);
    EXPECT_EQ(model.PressOk(), M::kAccept);
    EXPECT_EQ(model.PressCancel(), M::kNothing);
}

TEST(WaveToMIDIModel, CancelStopsWhateverRunsAndNeverPlacesNotes) {
    M recording;
    recording.Open(true);
    EXPECT_EQ(recording.PressCancel(), M::kStopRecorder | M::kReject);
    EXPECT_EQ(recording.PressDone(), M::kNothing);

    M converting;
    EXPECT_EQ(converting.Open(false), M::kStartWorker);
    EXPECT_EQ(converting.PressCancel(), M::kCancelWorker | M::kReject);
    // The cancelled run's end comes after the dialog has gone: it changes nothing.
    EXPECT_EQ(converting.ConversionEnded(3, false, ""), M::kNothing);
    EXPECT_EQ(converting.PressOk(), M::kNothing);

    M finished;
    finished.Open(false);
    finished.ConversionEnded(1, false, "");
    EXPECT_EQ(finished.Shown().message, "Finished. 1 notes found.");
    EXPECT_EQ(finished.PressCancel(), M::kReject);
}

TEST(WaveToMIDIModel, NoNotesAFailedConversionOrRecorderSayWhyAndClose) {
    M none;
    none.Open(false);
    EXPECT_EQ(none.ConversionEnded(0, false, ""), M::kShowNotice | M::kReject);
    EXPECT_EQ(none.Notice().title.str(), "Vorlaune");
    EXPECT_EQ(none.Notice().text.str(), kWaveToNotesNoNotesText);
    EXPECT_EQ(none.Notice().icon, MessageIcon::Information);

    M failed;
    failed.Open(false);
    const std::string text = WaveToNotes::ErrorText(WaveToNotes::kBadFormat);
    EXPECT_EQ(failed.ConversionEnded(0, true, text), M::kShowNotice | M::kReject);
    EXPECT_EQ(failed.Notice().text.str(), text);
    EXPECT_EQ(failed.Notice().icon, MessageIcon::Exclamation);
    // The error is shown once: a second report of the end changes nothing.
    EXPECT_EQ(failed.ConversionEnded(0, true, text), M::kNothing);

    M recorder;
    recorder.Open(true);
    EXPECT_EQ(recorder.RecorderFailed("no input device"), M::kShowNotice | M::kReject);
    EXPECT_EQ(recorder.Notice().text.str(), "Error occurred recording wave.\n\nno input device");
    EXPECT_EQ(recorder.Notice().icon, MessageIcon::Exclamation);
    EXPECT_EQ(recorder.PressDone(), M::kNothing);
}
