// What the "MIDI Record" dialog does, without the dialog: its states, texts, refusals
// and the placement it hands on.
#include <gtest/gtest.h>

#include "ManualMidiInput.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "playback/FakePlayer.h"
#include "record/MidiRecordSession.h"
#include "record/MidiRecorder.h"
#include "record/MidiTakePlacer.h"
#include "support/SongBuilder.h"

namespace {

struct Recording {
    explicit Recording(int ports = 1, bool relative = true) {
        for (int i = 0; i < ports; ++i)
            inputs.AddPort("Keys " + std::to_string(i));
        song = BuildSong("0 n60 384, 1536 n62 384"); // 4/4 at 384 ticks a quarter
        session = std::make_unique<MidiRecordSession>(*song, 500000, 1536, relative, recorder);
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const Message& m : sink.shown)
            texts.push_back(m.text.str());
        return texts;
    }

    RecordingSink sink;
    ManualMidiInput inputs;
    MidiRecorder recorder{inputs, nullptr};
    std::unique_ptr<Song> song;
    std::unique_ptr<MidiRecordSession> session;
    int hooks = 0;
    int stops = 0;
    std::function<void()> hook = [this] { ++hooks; };
    std::function<void()> stop = [this] { ++stops; };
};

} // namespace

TEST(MidiRecordSession, RecordsThenOffersTheOptionsWithTheFitPresetToTheTake) {
    Recording r;
    EXPECT_EQ(r.session->placeAt, (MusicalTime{1, 0, 0})); // the cursor, bar 2
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    EXPECT_EQ(r.hooks, 1);
    EXPECT_EQ(std::string(r.session->MessageText()), "Recording...");
    EXPECT_FALSE(r.session->OptionsEnabled());
    r.session->alignEntry = 3;
    r.session->fitToTime = true;
    EXPECT_FALSE(r.session->AlignBoxesEnabled()); // nothing may change while recording
    EXPECT_FALSE(r.session->FitFieldsEnabled());

    // 500 ms a quarter: 1 s is 768 ticks. A bar and a half, from the first message on.
    r.inputs.Play(0, 0x90, 60, 100, 1000);
    EXPECT_EQ(r.session->Drain(), 1u);
    EXPECT_EQ(std::string(r.session->MessageText()), "Receiving MIDI Messages...");
    r.inputs.Play(0, 0x80, 60, 0, 4000); // after the last drain: Done takes it
    ASSERT_TRUE(r.session->Done(r.stop));
    EXPECT_EQ(r.stops, 1);
    EXPECT_TRUE(r.sink.shown.empty());
    EXPECT_EQ(std::string(r.session->MessageText()), "Recording Finished - Select Options:");
    EXPECT_TRUE(r.session->OptionsEnabled());
    EXPECT_TRUE(r.session->AlignBoxesEnabled());
    EXPECT_TRUE(r.session->FitFieldsEnabled());
    EXPECT_EQ(r.session->fitAmount, (MusicalTime{1, 2, 0}));
}

TEST(MidiRecordSession, OkGivesThePlacementAndRefusesAZeroFit) {
    Recording r;
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    r.inputs.Play(0, 0x90, 60, 100, 0);
    r.inputs.Play(0, 0x80, 60, 0, 500);
    ASSERT_TRUE(r.session->Done(r.stop));
    MidiTakePlacement placement;
    r.session->placeAt = {2, 1, 0}; // bar 3 beat 2
    r.session->method = 2;
    r.session->assignByChannel = true;
    r.session->alignEntry = 6; // Sixteenth
    r.session->alignDurations = true;
    ASSERT_FALSE(r.session->Accept(placement));
    EXPECT_EQ(placement.at, 2 * 1536 + 384);
    EXPECT_EQ(placement.method, 2);
    EXPECT_TRUE(placement.assignByChannel);
    EXPECT_TRUE(placement.align);
    EXPECT_EQ(placement.grid, 96);
    EXPECT_FALSE(placement.alignBeginnings);
    EXPECT_FALSE(placement.fit);

    // A grid with neither box ticked aligns nothing.
    r.session->alignDurations = false;
    ASSERT_FALSE(r.session->Accept(placement));
    EXPECT_FALSE(placement.align);

    r.session->fitToTime = true;
    r.session->fitAmount = {0, 0, 0};
    const Refusal refusal = r.session->Accept(placement);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal.Text().str(), "Fit-To length is zero!");
    EXPECT_EQ(refusal.AsMessage().icon, MessageIcon::Stop);
    r.session->fitAmount = {1, 1, 0};
    ASSERT_FALSE(r.session->Accept(placement));
    EXPECT_TRUE(placement.fit);
    EXPECT_EQ(placement.fitLength, 1536 + 384);
}

TEST(MidiRecordSession, TheAlignGridsDivideAWholeNote) {
    Recording r;
    const std::int32_t expected[] = {0, 512, 384, 256, 192, 128, 96, 64, 48, 24};
    for (int entry = 0; entry < 10; ++entry) {
        MidiTakePlacement placement;
        r.session->alignEntry = entry;
        r.session->alignBeginnings = true;
        ASSERT_FALSE(r.session->Accept(placement));
        EXPECT_EQ(placement.grid, expected[entry]) << entry;
        EXPECT_EQ(placement.align, entry > 0);
    }
}

TEST(MidiRecordSession, NothingRecordedClosesAfterSayingSo) {
    Recording r;
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    r.inputs.Play(0, 0x90, 60, 100, 0); // held when Done comes: no note
    EXPECT_FALSE(r.session->Done(r.stop));
    EXPECT_EQ(r.session->GetState(), MidiRecordSession::State::Closed);
    EXPECT_EQ(r.Shown(), std::vector<std::string>{"Nothing was recorded."});
    EXPECT_EQ(r.sink.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(r.stops, 1);
}

TEST(MidiRecordSession, WithoutPortsTheReportIsShownAndThePlayerStopped) {
    Recording r(0);
    EXPECT_FALSE(r.session->Open(r.hook, r.stop));
    EXPECT_EQ(r.Shown(), std::vector<std::string>{"There are no MIDI recording devices!"});
    EXPECT_EQ(r.hooks, 1);
    // The song started playing along must not play on after the dialog closed.
    EXPECT_EQ(r.stops, 1);
}

TEST(MidiRecordSession, PortsThatDidNotOpenAreToldAtDoneBeforeTheStopReport) {
    Recording r(1);
    r.inputs.AddPort("Pads", true);
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    EXPECT_TRUE(r.sink.shown.empty());
    r.inputs.Play(0, 0x90, 60, 100, 0);
    r.inputs.Play(0, 0x80, 60, 0, 100);
    ASSERT_TRUE(r.session->Done(r.stop));
    EXPECT_EQ(r.Shown(),
              (std::vector<std::string>{
                  "Some of the MIDI recording devices could not be opened.\nHit return "
                  "to view these non-fatal errors.",
                  "Error opening MIDI recording device: \nPads 2.1\nThe device is in use."}));
}

TEST(MidiRecordSession, CancelStopsRecordingAndDropsTheTake) {
    Recording r;
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    r.inputs.Play(0, 0x90, 60, 100, 0);
    r.inputs.Play(0, 0x80, 60, 0, 100);
    r.session->Cancel(r.stop);
    EXPECT_TRUE(r.inputs.ports[0].stopped);
    EXPECT_EQ(r.stops, 1);
    EXPECT_EQ(r.session->TakeSong(), nullptr);
    EXPECT_EQ(r.session->GetState(), MidiRecordSession::State::Closed);
}

// A long note held under a short last one: fitting measures the take to the end of the
// last one, and so does the preset, so OK with fit on and the preset changes nothing.
TEST(MidiRecordSession, TheFitPresetLeavesTheTakeAsItIs) {
    Recording r;
    ASSERT_TRUE(r.session->Open(r.hook, r.stop));
    r.inputs.Play(0, 0x90, 48, 100, 0);
    r.inputs.Play(0, 0x90, 60, 100, 500);
    r.inputs.Play(0, 0x80, 60, 0, 1000);
    r.inputs.Play(0, 0x80, 48, 0, 2000);
    ASSERT_TRUE(r.session->Done(r.stop));
    EXPECT_EQ(r.session->fitAmount, (MusicalTime{0, 2, 0}));
    r.session->fitToTime = true;
    MidiTakePlacement placement;
    ASSERT_FALSE(r.session->Accept(placement));
    EXPECT_EQ(placement.fitLength, 768);
    auto take = r.session->TakeSong();
    const std::string before = DumpRecords(*take);
    auto copy = MidiTakePlacer::Prepare(std::move(take), placement);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(DumpRecords(*copy->song), before);
    EXPECT_EQ(copy->length, 1536); // the span still covers the long note
}
