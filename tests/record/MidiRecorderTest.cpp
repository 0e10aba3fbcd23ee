// The recorder over its input ports: what it reads, what it sends thru, what it reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "ManualMidiInput.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "playback/FakePlayer.h"
#include "record/MidiRecorder.h"
#include "record/ScriptedMidiInput.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

namespace {

// Settings can only be written into a settings file that exists.
struct Settings {
    Settings() { std::ofstream(home.Path() / INIFile::kFileName).flush(); }
    TempDir home;
    INIFile ini{home.Path()};
};

// Takes thru from any thread and writes it down.
class ThruPlayer : public FakePlayer {
public:
    bool OpenThru(int lanes) override {
        openedLanes = lanes;
        return true;
    }
    bool SendThru(int lane, const std::uint8_t* bytes, int size) override {
        std::lock_guard lock(mutex);
        thru.push_back(Join("lane", lane, int{bytes[0]}, size > 1 ? int{bytes[1]} : -1));
        return true;
    }
    void CloseThru() override { closed = true; }

    std::mutex mutex;
    std::vector<std::string> thru;
    int openedLanes = 0;
    bool closed = false;
};

std::vector<std::string> Texts(const std::optional<MidiDeviceReport>& report) {
    std::vector<std::string> texts;
    if (report)
        for (const Message& m : report->Messages()) {
            EXPECT_EQ(m.title.str(), "Vorlaune");
            EXPECT_EQ(m.icon, MessageIcon::Exclamation);
            texts.push_back(m.text.str());
        }
    return texts;
}

std::string Read(MidiRecorder& recorder) {
    std::string out;
    MidiRecorderMessage m;
    while (recorder.ReadMessage(m))
        out += std::to_string(m.device) + ":" + std::to_string(m.entry.status) + "@" +
               std::to_string(m.entry.time) + " ";
    return out;
}

} // namespace

TEST(MidiRecorder, WithoutPortsItDoesNotStartAndSaysSo) {
    ManualMidiInput inputs;
    MidiRecorder recorder(inputs, nullptr);
    std::optional<MidiDeviceReport> report;
    EXPECT_FALSE(recorder.Start(report));
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(Texts(report), std::vector<std::string>{"There are no MIDI recording devices!"});
}

TEST(MidiRecorder, APortThatWillNotOpenIsReportedAndTheOthersRecord) {
    ManualMidiInput inputs;
    inputs.AddPort("Pads", true);
    inputs.AddPort("Keys");
    MidiRecorder recorder(inputs, nullptr);
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    EXPECT_TRUE(inputs.ports[1].started);
    EXPECT_EQ(Texts(report),
              std::vector<std::string>{
                  "Error opening MIDI recording device: \nPads 2.1\nThe device is in use."});
    inputs.Play(1, 0x90, 60, 100, 12);
    EXPECT_EQ(Read(recorder), "1:144@12 ");
    // Every port failing is no recording at all.
    ManualMidiInput broken;
    broken.AddPort("Pads", true);
    MidiRecorder none(broken, nullptr);
    EXPECT_FALSE(none.Start(report));
    EXPECT_EQ(Texts(report).size(), 1u);
}

TEST(MidiRecorder, ReadsPortByPortOldestFirstAlsoWhatCameJustBeforeStop) {
    ManualMidiInput inputs;
    inputs.AddPort("A");
    inputs.AddPort("B");
    MidiRecorder recorder(inputs, nullptr);
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    EXPECT_FALSE(report);
    inputs.Play(1, 0x91, 60, 1, 5);
    inputs.Play(0, 0x90, 60, 1, 10);
    inputs.Play(0, 0x80, 60, 0, 20);
    EXPECT_EQ(Read(recorder), "0:144@10 0:128@20 1:145@5 ");
    inputs.Play(1, 0x81, 60, 0, 30);
    EXPECT_TRUE(recorder.Stop(report));
    EXPECT_FALSE(report);
    EXPECT_TRUE(inputs.ports[0].stopped);
    EXPECT_EQ(Read(recorder), "1:129@30 ");
}

TEST(MidiRecorder, ThruGoesOnThePortsLaneLetsGoAtTheEndAndCanBeTurnedOff) {
    ManualMidiInput inputs;
    inputs.AddPort("A");
    inputs.AddPort("B");
    ThruPlayer player;
    {
        MidiRecorder recorder(inputs, &player);
        recorder.ReadSettings(nullptr); // thru is on by default
        std::optional<MidiDeviceReport> report;
        ASSERT_TRUE(recorder.Start(report));
        EXPECT_EQ(player.openedLanes, 2);
        inputs.Play(1, 0x92, 64, 90, 1);
        inputs.Play(0, 0xF8, 0, 0, 2); // a clock is recorded, not echoed
        inputs.Play(0, 0xC0, 5, 0, 3);
        EXPECT_EQ(player.thru, (std::vector<std::string>{"lane 1 146 64", "lane 0 192 5"}));
        EXPECT_EQ(Read(recorder), "0:248@2 0:192@3 1:146@1 ");
        // Still held when recording stops: thru lets go, pedal first, before it closes.
        inputs.Play(0, 0xB0, 64, 127, 4);
        inputs.Play(0, 0x90, 67, 80, 5);
        inputs.Play(0, 0x90, 69, 80, 6);
        inputs.Play(0, 0x90, 69, 0, 7);
        player.thru.clear();
        recorder.Stop(report);
        EXPECT_EQ(player.thru,
                  (std::vector<std::string>{"lane 0 176 64", "lane 0 128 67", "lane 1 130 64"}));
        EXPECT_TRUE(player.closed);
    }
    Settings settings;
    INIFile& ini = settings.ini;
    ASSERT_TRUE(ini.WriteInt(MidiRecorder::kThroughSetting, 0));
    ThruPlayer quiet;
    MidiRecorder recorder(inputs, &quiet);
    recorder.ReadSettings(&ini);
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    inputs.Play(0, 0x90, 60, 1, 1);
    EXPECT_EQ(quiet.openedLanes, 0);
    EXPECT_TRUE(quiet.thru.empty());
}

// Messages lost to a full ring make the take differ from what was played: that is told
// even for a port that delivered, where other errors are only told when asked for.
TEST(MidiRecorder, LostMessagesAreReportedEvenFromAPortThatDelivered) {
    ManualMidiInput inputs;
    inputs.AddPort("Keys");
    MidiRecorder recorder(inputs, nullptr);
    recorder.ReadSettings(nullptr);
    ASSERT_FALSE(recorder.AlwaysShowErrors());
    std::optional<MidiDeviceReport> report;
    ASSERT_TRUE(recorder.Start(report));
    for (std::uint32_t ms = 0; ms < 7300; ++ms)
        inputs.Play(0, 0x90, 60, 100, ms);
    EXPECT_FALSE(recorder.Stop(report));
    EXPECT_EQ(Texts(report),
              std::vector<std::string>{"MIDI Messages came in too fast. Midi device: "
                                       "Keys 2.1\nMessage: 6569104 Time Stamp: 7200"});
}

TEST(MidiRecorder, OtherErrorsOfAPortThatDeliveredAreToldOnlyWhenAlwaysShown) {
    Settings settings;
    INIFile& ini = settings.ini;
    for (int always : {0, 1}) {
        ManualMidiInput inputs;
        inputs.AddPort("Keys");
        inputs.AddPort("Silent");
        MidiRecorder recorder(inputs, nullptr);
        ASSERT_TRUE(ini.WriteInt(MidiRecorder::kAlwaysShowSetting, always));
        recorder.ReadSettings(&ini);
        std::optional<MidiDeviceReport> report;
        ASSERT_TRUE(recorder.Start(report));
        inputs.Play(0, 0x90, 60, 100, 3);
        inputs.ports[0].receiver->Fault(MidiInputReceiver::Trouble::Driver, 5, 77);
        // A port that delivered nothing but a long message is always told.
        inputs.ports[1].receiver->Fault(MidiInputReceiver::Trouble::LongMessage, 0xF0, 9);
        EXPECT_FALSE(recorder.Stop(report));
        std::vector<std::string> expected;
        if (always)
            expected.push_back("Error occurred while recording from MIDI device: Keys "
                               "2.1\nMessage: 5 Time Stamp: 77");
        expected.push_back("Long Message Error occurred while recording from MIDI device: Silent "
                           "2.1\nMessage: 240 Time Stamp: 9");
        EXPECT_EQ(Texts(report), expected) << "AlwaysShowRecordError=" << always;
    }
}

// A file played in keeps its own timing: each tempo holds from where it is set, and a
// key let go is let go before it is struck again at the same time.
TEST(ScriptedMidiInput, AFilesMessagesAreTimedByItsTempoMap) {
    auto song = BuildSong("0 n60 384, 384 n60 384, 768 c2 n64 96");
    song->SetTempo(384, 250000);
    TempDir dir;
    const std::filesystem::path file = dir.Path() / "tempo.mid";
    ASSERT_TRUE(MidiWriter::SaveSong(*song, file, false));
    std::vector<TimedMidiMessage> messages;
    AString error;
    ASSERT_TRUE(ScriptedMidiInput::ReadMidiFile(file, messages, error)) << error.str();
    std::string notes;
    for (const TimedMidiMessage& m : messages)
        if ((m.bytes[0] & 0xE0) == 0x80)
            notes += std::to_string(m.ms) + ":" + std::to_string(m.bytes[0]) + "/" +
                     std::to_string(m.bytes[1]) + " ";
    EXPECT_EQ(notes, "0:144/60 500:128/60 500:144/60 750:128/60 750:146/64 813:130/64 ");
    EXPECT_FALSE(ScriptedMidiInput::FromMidiFile(dir.Path() / "missing.mid", 1, error));
}
