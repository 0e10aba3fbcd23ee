#include <gtest/gtest.h>

#include <algorithm>

#include "FakePlayer.h"
#include "model/AudioFileRegistry.h"
#include "model/ViewFilter.h"
#include "playback/PostTarget.h"
#include "playback/VorlauneGuts.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

using Lines = std::vector<std::string>;

namespace {

class GutsTest : public ::testing::Test {
protected:
    GutsTest() {
        dir.Write(INIFile::kFileName, "");
        ini = std::make_unique<INIFile>(dir.Path());
        INIFile::SetGlobal(ini.get());
    }
    ~GutsTest() override { INIFile::SetGlobal(nullptr); }

    VorlauneGuts& MakeGuts() {
        auto owned = std::make_unique<FakePlayer>();
        player = owned.get();
        guts = std::make_unique<VorlauneGuts>(std::move(owned));
        return *guts;
    }
    // The player played everything queued and asks for more.
    void Drain() {
        player->queued = 0;
        guts->HandlePlayerMessage(kPlayerWantsData);
    }
    std::size_t Mark() const { return player->calls.size(); }

    TempDir dir;
    std::unique_ptr<INIFile> ini;
    RecordingSink messages;
    FakePlayer* player = nullptr;
    std::unique_ptr<VorlauneGuts> guts;
};

std::string ManyNotes(int count, int step) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i * step) + " n60 10,";
    return text;
}

int NotesIn(const Lines& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("addnote", 0) == 0;
    }));
}

} // namespace

TEST_F(GutsTest, PlaysOneBlockThenStartsAndClosesWithTwoQuarters) {
    auto song = BuildSong("0 n60 384, 384 c9 v90 n38 96 cc7=12800 bend9000, 768 n64 70000");
    MakeGuts().PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 0 0 1",
                                    "addtempo 500000",
                                    "addnote 0 60 384 100 -1 0 0",
                                    "group 384 384 0",
                                    "addcc 9 7 12800 0", // volume is a coarse controller
                                    "addbend 9 9000",
                                    "addnote 9 38 96 90 -1 0 0",
                                    "group 384 768 0",
                                    "addnote 0 64 65535 100 -1 0 0", // capped duration
                                    "group 768 768 0",               // the closing group
                                    "addbenign",
                                    "done",
                                    "block",
                                }));
    EXPECT_EQ(player->calls.back(), "start");
    EXPECT_EQ(player->Count("pcdelay 0"), 1);
}

TEST_F(GutsTest, RefillsStopAtEightTimesTheMessagesPerRefill) {
    ini->WriteInt("NumPlayEachTime", 20); // 160 messages a block
    auto song = BuildSong(ManyNotes(400, 10));
    MakeGuts().PlayAll(song.get(), nullptr);
    EXPECT_EQ(NotesIn(player->Stream()), 159); // the tempo counts as one message
    EXPECT_EQ(player->Count("done"), 0);
    std::size_t mark = Mark();
    Drain();
    EXPECT_EQ(NotesIn(player->Stream(mark)), 160);
    EXPECT_EQ(player->Stream(mark).front(), "group 10 1590 1"); // every block starts "first"
    mark = Mark();
    Drain();
    Drain();
    EXPECT_EQ(player->Count("done"), 1);
    EXPECT_EQ(NotesIn(player->Stream(mark)), 400 - 159 - 160);
    // The player asking again after the last block changes nothing.
    mark = Mark();
    Drain();
    EXPECT_EQ(Mark(), mark);
}

TEST_F(GutsTest, MessagesPerRefillOutsideItsRangeIsTwoHundred) {
    for (long setting : {5L, 401L, 10L, 400L}) {
        ini->WriteInt("NumPlayEachTime", setting);
        MakeGuts();
        EXPECT_EQ(guts->MessagesPerRefill(), setting == 5 || setting == 401 ? 200 : setting);
    }
    ini->WriteInt("DrawResolution", 35);
    MakeGuts();
    EXPECT_EQ(player->calls.front(), "drawres 35");
}

TEST_F(GutsTest, PointsTheFilterHidesLendTheirDeltasToTheNextGroup) {
    auto song = BuildSong("0 n60 10, 96 t1 n62 10, 192 t1 n64 10, 384 n65 10, 400 text5=la");
    ViewFilter filter;
    filter.ShowOnlyTrack(0);
    filter.SetKind(kMsgNote); // the play sees all kinds of the track anyway
    MakeGuts().PlayAll(song.get(), &filter);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 0 0 1",
                                    "addtempo 500000",
                                    "addnote 0 60 10 100 -1 0 0",
                                    "group 384 384 0",
                                    "addnote 0 65 10 100 -1 0 0",
                                    "group 768 400 0", // the lyric at 400 plays nothing
                                    "addbenign",
                                    "done",
                                    "block",
                                }));
}

TEST_F(GutsTest, StartingBetweenPointsMeasuresTheFirstDeltaFromTheStart) {
    auto song = BuildSong("0 n60 10, 400 n62 10, 500 n64 10");
    song->SetTempo(0, 600000);
    MakeGuts().Play(song.get(), 300, 450, nullptr);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 100 400 1",
                                    "addtempo 600000",
                                    "addnote 0 62 10 100 -1 0 0",
                                    "done", // past the end tick: no closing group
                                    "block",
                                }));
}

TEST_F(GutsTest, TempoChangeWhereNothingSoundsTakesEffectAtItsOwnTick) {
    auto song = BuildSong("0 n60 10, 384 n62 10");
    song->SetTempo(192, 250000);
    song->SetTempo(384, 1000000);
    MakeGuts().Play(song.get(), 96, kEndTick, nullptr);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 0 96 1", // the start tempo from the start tick
                                    "addtempo 500000",
                                    "group 96 192 0",
                                    "addtempo 250000",
                                    "group 192 384 0", // a change at a point goes with it
                                    "addtempo 1000000",
                                    "addnote 0 62 10 100 -1 0 0",
                                    "group 768 384 0",
                                    "addbenign",
                                    "done",
                                    "block",
                                }));
}

TEST_F(GutsTest, TempoChangesUnderTheLastNotesStillReachThePlayer) {
    auto song = BuildSong("0 n60 1536, 384 text5=la");
    song->SetTempo(576, 750000);
    song->SetTempo(1152, 1000000);
    song->SetTempo(1536, 2000000); // after the music: not sent
    MakeGuts().PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 0 0 1",
                                    "addtempo 500000",
                                    "addnote 0 60 1536 100 -1 0 0",
                                    "group 576 576 0", // counts the lyric's delta too
                                    "addtempo 750000",
                                    "group 576 1152 0",
                                    "addtempo 1000000",
                                    "group 0 384 0", // the closing two quarters have passed
                                    "addbenign",
                                    "done",
                                    "block",
                                }));
}

TEST_F(GutsTest, CueRecordsPlayTheirSoundAndOtherTextsNothing) {
    auto song = BuildSong("0 text7=Audio:drum.wav text7=AUDIO:bell.wav text7=Audio: text5=la "
                          "text6=Audio:marker.wav, 96 text7=Audio:, 192 n60 10");
    MakeGuts().PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Stream(), (Lines{
                                    "group 0 0 1",
                                    "addtempo 500000",
                                    "addsound drum.wav",
                                    "addsound bell.wav",
                                    "group 192 192 0", // the empty cue at 96 adds its delta
                                    "addnote 0 60 10 100 -1 0 0",
                                    "group 768 192 0",
                                    "addbenign",
                                    "done",
                                    "block",
                                }));
}

TEST_F(GutsTest, CoarseControllersGoAsFourteenBitValues) {
    auto song = BuildSong("0 cc1=1000 cc91=100 cc99=300 cc100=5 cc64=127");
    MakeGuts().PlayAll(song.get(), nullptr);
    Lines cc;
    for (const auto& line : player->Stream())
        if (line.rfind("addcc", 0) == 0)
            cc.push_back(line);
    std::sort(cc.begin(), cc.end());
    EXPECT_EQ(cc, (Lines{"addcc 0 1 1000 0", "addcc 0 100 5 1", "addcc 0 64 127 1",
                         "addcc 0 91 100 1", "addcc 0 99 300 0"}));
}

// A play that never starts ends at once: its window would otherwise wait for a stopped
// notice that never comes and stay busy.
TEST_F(GutsTest, EmptySongNeverStartsAndItsPlayEndsAtOnce) {
    Song song;
    int stops = 0;
    MakeGuts().SetStopCallback([&] { ++stops; });
    guts->PlayAll(&song, nullptr);
    EXPECT_EQ(player->Count("start"), 0);
    EXPECT_TRUE(player->Stream().empty());
    EXPECT_EQ(guts->PlayingSong(), nullptr);
    EXPECT_EQ(stops, 1);
}

TEST_F(GutsTest, PlayDuringPlaybackRestartsAfterTheStopAndDropsAThirdRequest) {
    auto song = BuildSong(ManyNotes(10, 100));
    auto other = BuildSong("0 n70 10, 50 n71 10");
    int stops = 0;
    MakeGuts().SetStopCallback([&] { ++stops; });
    guts->PlayAll(song.get(), nullptr);
    ASSERT_TRUE(player->busy);
    std::size_t mark = Mark();
    guts->Play(other.get(), 50, kEndTick, nullptr);
    guts->Play(song.get(), 0, kEndTick, nullptr);
    EXPECT_EQ(player->Count("settostop"), 1);
    EXPECT_EQ(player->Count("start"), 1);
    EXPECT_TRUE(player->Stream(mark).empty());
    EXPECT_TRUE(guts->RestartPending());

    guts->HandlePlayerMessage(kPlayerStopped);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(guts->RestartPending());
    EXPECT_EQ(guts->PlayingSong(), other.get());
    EXPECT_EQ(player->Count("start"), 2);
    const Lines stream = player->Stream(mark);
    EXPECT_EQ(stream[0], "group 0 50 1");
    EXPECT_EQ(stream[2], "addnote 0 71 10 100 -1 0 0");
}

TEST_F(GutsTest, StoppedClearsThePlayAndTheNextPlaySendsTheTempoAgain) {
    auto song = BuildSong("0 n60 10");
    MakeGuts().PlayAll(song.get(), nullptr);
    guts->HandlePlayerMessage(kPlayerStopped);
    EXPECT_EQ(guts->PlayingSong(), nullptr);
    EXPECT_EQ(player->Count("stopmusic"), 1);
    // More-data after the stop does nothing.
    std::size_t mark = Mark();
    Drain();
    EXPECT_EQ(Mark(), mark);
    guts->PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Count("addtempo 500000"), 2);
}

TEST_F(GutsTest, AFailedStartShowsTheStatusAndLeavesNoStaleTempo) {
    auto song = BuildSong("0 n60 10");
    song->SetTempo(0, 400000);
    MakeGuts();
    player->startSucceeds = false;
    player->SetStatus("No audio device.");
    int stops = 0;
    guts->SetStopCallback([&] { ++stops; });
    guts->PlayAll(song.get(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "MIDI System:");
    EXPECT_EQ(messages.shown[0].text, "No audio device.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(guts->PlayingSong(), nullptr);
    EXPECT_EQ(stops, 1);
    player->startSucceeds = true;
    guts->PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Count("addtempo 400000"), 2);
}

TEST_F(GutsTest, AFailedBlockShowsTheStatusAndAFailedRefillStops) {
    auto song = BuildSong(ManyNotes(300, 10));
    MakeGuts();
    player->blockSucceeds = false;
    player->SetStatus("Queue full.");
    guts->PlayAll(song.get(), nullptr);
    EXPECT_EQ(player->Count("start"), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Queue full.");

    ini->WriteInt("NumPlayEachTime", 10);
    MakeGuts();
    guts->PlayAll(song.get(), nullptr);
    player->blockSucceeds = false;
    Drain();
    EXPECT_EQ(player->Count("settostop"), 1);
}

TEST_F(GutsTest, ErrorMessageShowsTheErrorText) {
    MakeGuts();
    player->SetError("Cannot play the audio cue x.wav.");
    guts->HandlePlayerMessage(kPlayerError);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error:");
    EXPECT_EQ(messages.shown[0].text, "Cannot play the audio cue x.wav.");
}

TEST_F(GutsTest, ClosingThePlayingSongForgetsItStopsAndDropsItsRestart) {
    auto song = BuildSong(ManyNotes(10, 100));
    auto other = BuildSong(ManyNotes(10, 100));
    int stops = 0;
    MakeGuts().SetStopCallback([&] { ++stops; });
    guts->PlayAll(song.get(), nullptr);
    guts->Play(other.get(), 0, kEndTick, nullptr); // pending
    guts->SongClosing(other.get());
    EXPECT_FALSE(guts->RestartPending());
    guts->SongClosing(song.get());
    song.reset();
    EXPECT_EQ(guts->PlayingSong(), nullptr);
    Drain(); // nothing to feed from
    guts->HandlePlayerMessage(kPlayerStopped);
    EXPECT_EQ(stops, 0); // its window is gone
    EXPECT_EQ(player->Count("start"), 1);
}

TEST_F(GutsTest, DeviceFlagsGoToThePlayerBeforeEachStart) {
    class Device : public SongDevice {
    public:
        bool ChannelSpecificInstruments() const override { return true; }
        std::uint16_t ProgramChangeDelay() const override { return 30; }
    };
    SetSongDeviceLoader([](const AString&) { return std::make_unique<Device>(); });
    auto song = BuildSong("0 n60 10");
    SetSongDeviceLoader({});
    song->SetTicksPerQuarter(96);
    MakeGuts().PlayAll(song.get(), nullptr);
    const auto& calls = player->calls;
    const auto at = [&](const std::string& c) {
        return std::find(calls.begin(), calls.end(), c) - calls.begin();
    };
    EXPECT_LT(at("tpq 96"), at("start"));
    EXPECT_LT(at("channelspecific 1"), at("start"));
    EXPECT_EQ(player->Count("pcdelay 30"), 1);
}

TEST_F(GutsTest, AudioFilesRegisterThroughThePlayerRelativeToTheSongFolder) {
    MakeGuts();
    AudioFileRegistry& registry = *guts;
    registry.AddAudioWAVFile("drum.wav", "/songs/demo");
    guts->DeleteAudioWAVFile("drum.wav");
    guts->DeleteAudioWAVFiles();
    EXPECT_EQ(player->calls.back(), "delwavs");
    EXPECT_EQ(player->Count("wav drum.wav /songs/demo"), 1);
    EXPECT_EQ(player->Count("delwav drum.wav"), 1);

    Song song;
    EXPECT_EQ(VorlauneGuts::SongDirectory(song), "");
    song.fileName = "/songs/demo/tune.mid";
    EXPECT_EQ(VorlauneGuts::SongDirectory(song), "/songs/demo");
}
