#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "FakePlayer.h"
#include "playback/NullSink.h"
#include "playback/PacedOutput.h"
#include "playback/PostQueue.h"
#include "playback/StreamPlayer.h"
#include "playback/VorlauneGuts.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

using namespace std::chrono_literals;

namespace {

// The real player on the wall clock, into a sink that keeps what it is given.
class NullPlayer : public StreamPlayer {
public:
    ~NullPlayer() override { Halt(); }
    NullSink sink{1 << 16};
    std::vector<std::filesystem::path> loads; // the files asked for, in order

protected:
    std::unique_ptr<PlayOutput> CreateOutput(AString&) override {
        return std::make_unique<PacedOutput>(sink);
    }
    std::shared_ptr<const SoundBuffer> LoadSound(const std::filesystem::path& file,
                                                 AString& error) override {
        loads.push_back(file);
        if (file.filename() == "missing.wav") {
            error = "No such file.";
            return nullptr;
        }
        auto sound = std::make_shared<SoundBuffer>();
        sound->samples.assign(200, 0.5f);
        return sound;
    }
};

// Songs that play in a fraction of a second: a quarter note lasts 100 ms.
std::unique_ptr<Song> FastSong(int notes, int step) {
    std::string text;
    for (int i = 0; i < notes; ++i)
        text += std::to_string(i * step) + " n" + std::to_string(40 + i % 40) + " " +
                std::to_string(step / 2) + ",";
    auto song = BuildSong(text);
    song->SetTempo(0, 100000);
    return song;
}

struct Heard {
    std::vector<std::int64_t> positions;
    int stopped = 0;
    int errors = 0;
    std::vector<int> queuedWhenAsked;
};

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() {
        dir.Write(INIFile::kFileName, "");
        ini = std::make_unique<INIFile>(dir.Path());
        INIFile::SetGlobal(ini.get());
    }
    ~PlayerTest() override { INIFile::SetGlobal(nullptr); }

    void Make() {
        guts.reset();
        auto owned = std::make_unique<NullPlayer>();
        player = owned.get();
        guts = std::make_unique<VorlauneGuts>(std::move(owned));
        player->SetAddCallbackMsg(&posts, kPlayerWantsData);
        player->SetStopMusicCallbackMsg(&posts, kPlayerStopped);
        player->SetErrorCallbackMsg(&posts, kPlayerError);
        player->SetDrawCallbackMsg(&posts, kPlayPosition);
    }

    // Handles posted messages as the main window would, until `stops` stopped messages
    // came (then a little longer, to catch any that should not come).
    void Run(int stops, const std::function<void()>& onPosition = {}) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        auto quietUntil = deadline;
        PostQueue::Posted posted;
        while (std::chrono::steady_clock::now() < std::min(deadline, quietUntil)) {
            if (!posts.Wait(posted, 20ms))
                continue;
            switch (posted.message) {
            case kPlayPosition:
                heard.positions.push_back(posted.value);
                if (onPosition)
                    onPosition();
                break;
            case kPlayerWantsData:
                heard.queuedWhenAsked.push_back(player->NumMessagesInCurrentBuffer());
                break;
            case kPlayerStopped:
                if (++heard.stopped == stops)
                    quietUntil = std::chrono::steady_clock::now() + 150ms;
                break;
            case kPlayerError:
                ++heard.errors;
                break;
            }
            guts->HandlePlayerMessage(posted.message);
        }
    }

    // A fast song saved as /songs/tune.mid.
    static std::unique_ptr<Song> SongInSongs(const std::string& text) {
        auto song = BuildSong(text);
        song->SetTempo(0, 100000);
        song->fileName = "/songs/tune.mid";
        return song;
    }

    int NotesOn() const {
        const auto& sent = player->sink.SentItems();
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [](const auto& s) {
            return s.size == 3 && (s.bytes[0] & 0xF0) == 0x90;
        }));
    }
    int NotesOff() const {
        const auto& sent = player->sink.SentItems();
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [](const auto& s) {
            return s.size == 3 && (s.bytes[0] & 0xF0) == 0x80;
        }));
    }

    TempDir dir;
    std::unique_ptr<INIFile> ini;
    RecordingSink messages;
    PostQueue posts;
    NullPlayer* player = nullptr;
    std::unique_ptr<VorlauneGuts> guts;
    Heard heard;
};

} // namespace

TEST_F(PlayerTest, PositionsArriveInOrderAndTheEndStopsOnce) {
    auto song = FastSong(40, 96); // 1 s
    Make();
    guts->PlayAll(song.get(), nullptr);
    ASSERT_TRUE(player->MMSystemInUse());
    Run(1);
    EXPECT_EQ(heard.stopped, 1);
    EXPECT_FALSE(player->MMSystemInUse());
    ASSERT_GT(heard.positions.size(), 10u);
    EXPECT_TRUE(std::is_sorted(heard.positions.begin(), heard.positions.end()));
    EXPECT_GE(heard.positions.back(), 39 * 96);
    EXPECT_EQ(player->NumDrawPostMessagesSentOut(), static_cast<int>(heard.positions.size()));
    EXPECT_EQ(NotesOn(), 40);
    EXPECT_EQ(NotesOff(), 40);
    // Every event went out in time order, and none went early.
    const auto& sent = player->sink.SentItems();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_GE(sent[i].at, sent[i].due);
        if (i > 0) {
            EXPECT_LE(sent[i - 1].due, sent[i].due);
        }
    }
}

TEST_F(PlayerTest, StopRequestsEndTheSoundAndGiveExactlyOneStopped) {
    auto song = FastSong(200, 192); // 10 s
    song->AddMsg(100, std::make_unique<MidiMsgControlChange>(0, 64, 127));
    Make();
    guts->PlayAll(song.get(), nullptr);
    Run(1, [&] {
        if (heard.positions.size() == 5) {
            guts->StopRequest();
            guts->StopRequest();
            player->SetToStopMusic();
        }
    });
    EXPECT_EQ(heard.stopped, 1);
    EXPECT_LT(NotesOn(), 200);
    EXPECT_EQ(NotesOn(), NotesOff()); // nothing left sounding
    const auto& last = player->sink.SentItems().back();
    EXPECT_EQ(last.bytes[0], 0xB0); // and the pedal is up
    EXPECT_EQ(last.bytes[1], 64);
    EXPECT_EQ(last.bytes[2], 0);
}

TEST_F(PlayerTest, PlayDuringPlaybackStartsAfterTheStoppedMessage) {
    auto first = FastSong(200, 192);
    auto second = BuildSong("0 n100 10, 96 n101 10");
    second->SetTempo(0, 100000);
    Make();
    guts->PlayAll(first.get(), nullptr);
    Run(2, [&] {
        if (heard.positions.size() == 3)
            guts->PlayAll(second.get(), nullptr);
    });
    EXPECT_EQ(heard.stopped, 2);
    const auto& sent = player->sink.SentItems();
    const auto firstOfSecond = std::find_if(sent.begin(), sent.end(), [](const auto& s) {
        return s.bytes[0] == 0x90 && s.bytes[1] == 100;
    });
    ASSERT_NE(firstOfSecond, sent.end());
    // Before the second song's first note, the first song was silenced.
    int sounding = 0;
    for (auto it = sent.begin(); it != firstOfSecond; ++it)
        sounding += it->bytes[0] == 0x90 ? 1 : it->bytes[0] == 0x80 ? -1 : 0;
    EXPECT_EQ(sounding, 0);
    EXPECT_EQ(sent.back().bytes[1], 101);
}

TEST_F(PlayerTest, MoreDataIsAskedForBeforeTheQueueRunsDry) {
    ini->WriteInt("NumPlayEachTime", 10); // 80 messages a block
    auto song = FastSong(400, 24);        // 2.5 s, 160 events a second
    Make();
    guts->PlayAll(song.get(), nullptr);
    Run(1);
    ASSERT_GT(heard.queuedWhenAsked.size(), 5u);
    for (int queued : heard.queuedWhenAsked)
        EXPECT_GT(queued, 0);
    EXPECT_EQ(NotesOn(), 400);
    const auto& sent = player->sink.SentItems();
    std::int64_t worst = 0;
    for (const auto& s : sent)
        worst = std::max(worst, s.at - s.due);
    EXPECT_LT(worst, 50000000) << "an event was " << worst / 1000 << " us late";
}

TEST_F(PlayerTest, CuesPlayAtTheirTimeAndAMissingOneIsReportedOnce) {
    auto song = SongInSongs("0 n60 10, 384 text7=Audio:drum.wav, 768 text7=Audio:missing.wav, "
                            "1152 text7=Audio:missing.wav");
    Make();
    guts->AddAudioWAVFile("drum.wav", "/songs");
    guts->PlayAll(song.get(), nullptr);
    Run(1);
    const auto& sent = player->sink.SentItems();
    const auto sound =
        std::find_if(sent.begin(), sent.end(), [](const auto& s) { return s.sound; });
    ASSERT_NE(sound, sent.end());
    EXPECT_EQ(sound->due, 100000000);
    EXPECT_EQ(heard.errors, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error:");
    EXPECT_EQ(messages.shown[0].text, "Cannot play the audio cue missing.wav:\n\nNo such file.");
}

TEST_F(PlayerTest, WithoutAnOutputNothingStartsAndTheStatusSaysWhy) {
    class NoOutput : public StreamPlayer {
    protected:
        std::unique_ptr<PlayOutput> CreateOutput(AString& error) override {
            error = "No audio device.";
            return nullptr;
        }
    };
    VorlauneGuts lone(std::make_unique<NoOutput>());
    auto song = FastSong(4, 96);
    lone.PlayAll(song.get(), nullptr);
    EXPECT_FALSE(lone.Player().MMSystemInUse());
    EXPECT_EQ(lone.Player().NumMessagesInCurrentBuffer(), 0); // the stream was dropped
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "MIDI System:");
    EXPECT_EQ(messages.shown[0].text, "No audio device.");
}

TEST_F(PlayerTest, CuesAreFoundInTheSongsFolderWhateverTheirPrefixAndOutsideOnesAreTold) {
    // Registered as the song loaded; the same in capitals; one only played; two leading
    // out of the folder, one of them twice.
    auto song =
        SongInSongs("0 text7=Audio:drum.wav, 96 text7=AUDIO:drum.wav, 192 text7=AUDIO:bell.wav, "
                    "288 text7=Audio:../elsewhere.wav, 384 text7=Audio:/sounds/far.wav, "
                    "480 text7=audio:../elsewhere.wav, 576 n60 10");
    Make();
    guts->AddAudioWAVFile("drum.wav", "/songs");
    guts->PlayAll(song.get(), nullptr);
    Run(1);
    EXPECT_EQ(player->loads,
              (std::vector<std::filesystem::path>{"/songs/drum.wav", "/songs/bell.wav",
                                                  "/elsewhere.wav", "/sounds/far.wav"}));
    const auto& sent = player->sink.SentItems();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const auto& s) { return s.sound; }), 6);
    EXPECT_EQ(heard.errors, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The audio cue ../elsewhere.wav plays the file /elsewhere.wav, which lies outside "
              "the song's folder.\n\nThe audio cue /sounds/far.wav plays the file "
              "/sounds/far.wav, which lies outside the song's folder.");
}

TEST_F(PlayerTest, EveryFailingCueIsToldOnceWithItsReason) {
    auto song = SongInSongs("0 text7=Audio:missing.wav, 96 text7=Audio:gone/missing.wav, "
                            "192 text7=AUDIO:missing.wav, 288 n60 10");
    Make();
    guts->PlayAll(song.get(), nullptr);
    Run(1);
    EXPECT_EQ(heard.errors, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Cannot play the audio cue missing.wav:\n\nNo such file.\n\nCannot play the "
              "audio cue gone/missing.wav:\n\nNo such file.");
    EXPECT_EQ(player->loads.size(), 2u); // a failure is remembered, not tried again

    // A song never saved has no folder: its cue is not looked for in the current one.
    auto unsaved = BuildSong("0 text7=Audio:drum.wav, 96 n60 10");
    unsaved->SetTempo(0, 100000);
    guts->PlayAll(unsaved.get(), nullptr);
    Run(2);
    EXPECT_EQ(player->loads.size(), 2u);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Cannot play the audio cue drum.wav:\n\nThe song has not "
                                      "been saved yet, so there is no folder to find the file in.");
}
