#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "FakeAudioDevice.h"
#include "FakePlayer.h"
#include "TestSounds.h"
#include "playback/CueHost.h"
#include "playback/MemoryWavePlayer.h"
#include "playback/PlayerEngine.h"
#include "playback/PostQueue.h"
#include "playback/PostTarget.h"
#include "playback/VorlauneGuts.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
// What counts as silence: the synthesizer plays no note in these songs.
constexpr float kSilence = 1e-4f;

// The engine, keeping an eye on every cue sound it loads.
class WatchedEngine : public PlayerEngine {
public:
    std::vector<std::weak_ptr<const SoundBuffer>> loaded;
    bool AllFreed() const {
        return std::all_of(loaded.begin(), loaded.end(), [](const auto& s) { return s.expired(); });
    }

protected:
    std::shared_ptr<const SoundBuffer> LoadSound(const std::filesystem::path& file,
                                                 AString& error) override {
        auto sound = PlayerEngine::LoadSound(file, error);
        if (sound)
            loaded.push_back(sound);
        return sound;
    }
};

// `seconds` of a steady half-scale level.
std::shared_ptr<const SoundBuffer> Steady(double seconds) {
    auto sound = std::make_shared<SoundBuffer>();
    sound->samples.assign(static_cast<std::size_t>(seconds * kRate) * 2, 0.5f);
    return sound;
}

class CueLifetimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestSoundFont().empty())
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        auto owned = std::make_unique<WatchedEngine>();
        engine = owned.get();
        engine->SetSoundFont(TestSoundFont());
        guts = std::make_unique<VorlauneGuts>(std::move(owned));
        engine->SetAddCallbackMsg(&posts, kPlayerWantsData);
        engine->SetStopMusicCallbackMsg(&posts, kPlayerStopped);
        engine->SetErrorCallbackMsg(&posts, kPlayerError);
    }
    void TearDown() override { guts.reset(); } // before the device goes

    AString Folder() const { return AString(dir.Path().string()); }
    std::unique_ptr<Song> SongOf(const std::string& text) {
        auto song = BuildSong(text);
        song->fileName = (dir / "song.mid").string();
        return song;
    }
    // Handles the player's messages as the main window would, for `time`, or until a
    // stopped message comes when `untilStopped` (then false when none came).
    bool Pump(std::chrono::milliseconds time, bool untilStopped = false) {
        const auto end = std::chrono::steady_clock::now() + time;
        PostQueue::Posted posted;
        while (std::chrono::steady_clock::now() < end) {
            if (!posts.Wait(posted, 5ms))
                continue;
            if (untilStopped && posted.message == kPlayerStopped)
                return true;
            guts->HandlePlayerMessage(posted.message);
        }
        return !untilStopped;
    }

    FakeAudioDevice device; // outlives everything that plays on it
    TempDir dir;
    RecordingSink messages;
    PostQueue posts;
    WatchedEngine* engine = nullptr;
    std::unique_ptr<VorlauneGuts> guts;
};

} // namespace

TEST_F(CueLifetimeTest, ACueEndsWithItsPlayAndOutlivesItsLastUseOnTheAudioThread) {
    dir.Write("hold.wav", WaveBytes(kRate, 2, 2 * kRate, 16384));
    guts->AddAudioWAVFile("hold.wav", Folder());
    auto song = SongOf("0 text7=Audio:hold.wav, 3840 text5=end");
    guts->PlayAll(song.get(), nullptr);
    ASSERT_TRUE(engine->MMSystemInUse());
    FakeAudioDevice::Lane* lane = device.Last();
    ASSERT_NE(lane, nullptr);
    ASSERT_TRUE(lane->WaitLouder(0, 0.4f, 5s)) << "the cue was never heard";

    // The stop silences the cue as it silences the notes.
    guts->StopRequest();
    std::uint64_t from = lane->Begun();
    ASSERT_TRUE(Pump(5s, true));
    ASSERT_TRUE(lane->WaitDone(from + 4, 2s));
    EXPECT_LT(lane->PeakSince(from), kSilence);

    // The audio thread stalls as the play is released and its sound unregistered: the
    // sound must wait for it.
    lane->Pause();
    guts->HandlePlayerMessage(kPlayerStopped);
    guts->DeleteAudioWAVFiles();
    EXPECT_GT(engine->HeldSounds(), 0u);
    EXPECT_FALSE(engine->AllFreed()) << "freed while the audio thread may still read it";
    lane->Resume();
    from = lane->Begun();
    ASSERT_TRUE(lane->WaitDone(from + 4, 2s));
    guts->DeleteAudioWAVFiles(); // frees what the audio thread let go of
    EXPECT_EQ(engine->HeldSounds(), 0u);
    EXPECT_TRUE(engine->AllFreed());
    EXPECT_LT(lane->PeakSince(from), kSilence);
    EXPECT_EQ(FakeAudioDevice::CallbackAllocations(), 0);
}

TEST_F(CueLifetimeTest, StoppingDeletingAndRegisteringAgainWhileCuesPlayIsSafe) {
    const std::vector<std::string> names{"a.wav", "b.wav", "c.wav"};
    dir.Write("a.wav", WaveBytes(kRate, 2, kRate / 3, 16384));
    dir.Write("b.wav", WaveBytes(kRate / 2, 1, kRate / 3, 16384)); // resampled
    dir.Write("c.wav", WaveBytes(kRate, 1, kRate, 16384));
    guts->AddAudioWAVFile("a.wav", Folder());
    guts->AddAudioWAVFile("b.wav", Folder()); // c.wav is loaded as it is first played
    // A cue every eighth of a second, some with the prefix in capitals.
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::to_string(i * 96) + (i % 4 == 3 ? " text7=AUDIO:" : " text7=Audio:") +
                names[static_cast<std::size_t>(i) % names.size()] + ",";
    auto song = SongOf(text);

    std::mt19937 random(11);
    const auto pick = [&] { return AString(names[random() % names.size()]); };
    int plays = 0;
    float loudest = 0.0f;
    FakeAudioDevice::Lane* lane = nullptr;
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < end) {
        guts->PlayAll(song.get(), nullptr);
        ASSERT_TRUE(engine->MMSystemInUse());
        ++plays;
        lane = device.Last();
        ASSERT_NE(lane, nullptr);
        Pump(std::chrono::milliseconds(random() % 80));
        switch (random() % 4) {
        case 0:
            guts->DeleteAudioWAVFile(pick());
            break;
        case 1:
            guts->AddAudioWAVFile(pick(), Folder()); // a new sound in place of the old
            break;
        case 2:
            guts->DeleteAudioWAVFiles();
            break;
        default:
            break;
        }
        Pump(std::chrono::milliseconds(random() % 30));
        guts->StopRequest();
        ASSERT_TRUE(Pump(5s, true));
        guts->HandlePlayerMessage(kPlayerStopped);
        const std::uint64_t from = lane->Begun();
        ASSERT_TRUE(lane->WaitDone(from + 2, 2s));
        loudest = std::max(loudest, lane->PeakSince(from));
    }
    EXPECT_GT(plays, 5);
    EXPECT_LT(loudest, kSilence) << "a cue was heard after its play had stopped";
    guts->DeleteAudioWAVFiles();
    ASSERT_TRUE(lane->WaitDone(lane->Begun() + 2, 2s));
    guts->DeleteAudioWAVFiles();
    EXPECT_EQ(engine->HeldSounds(), 0u);
    EXPECT_TRUE(engine->AllFreed());
    EXPECT_EQ(FakeAudioDevice::CallbackAllocations(), 0);
}

TEST(CueHost, AStopEndsWhatCameBeforeItEvenStillQueuedAndNothingAfter) {
    FakeAudioDevice device;
    CueHost host;
    AString error;
    ASSERT_TRUE(host.Open(error));
    FakeAudioDevice::Lane* lane = device.Last();

    auto first = Steady(2);
    std::weak_ptr<const SoundBuffer> watch = first;
    ASSERT_TRUE(host.Play(*first));
    ASSERT_TRUE(lane->WaitLouder(0, 0.4f, 2s));
    // Retired while the audio thread stalls: kept until it has let go.
    lane->Pause();
    host.Retire({std::move(first)});
    host.Collect();
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(host.HeldSounds(), 1u);
    // Asked for and stopped while it stalls: never heard.
    auto queued = Steady(2);
    ASSERT_TRUE(host.Play(*queued));
    host.Retire({std::move(queued)});
    lane->Resume();
    std::uint64_t from = lane->Begun();
    ASSERT_TRUE(lane->WaitDone(from + 3, 2s));
    host.Collect();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(host.HeldSounds(), 0u);
    EXPECT_EQ(lane->PeakSince(from), 0.0f);

    // What comes after a stop plays.
    auto next = Steady(2);
    from = lane->Begun();
    ASSERT_TRUE(host.Play(*next));
    EXPECT_TRUE(lane->WaitLouder(from, 0.4f, 2s));
    host.Retire({std::move(next)});
}

TEST(MemoryWave, StopSoundSilencesTheWave) {
    // The wave player's output stays open to the end of the program: so does its device.
    static FakeAudioDevice* device = new FakeAudioDevice;
    const std::string wave = WaveBytes(kRate, 1, kRate, 16384);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(wave.data()),
                                              wave.size());
    ASSERT_TRUE(PlayMemoryWave(bytes));
    FakeAudioDevice::Lane* lane = device->Last();
    ASSERT_NE(lane, nullptr);
    EXPECT_TRUE(lane->WaitLouder(0, 0.4f, 2s));
    StopSound();
    const std::uint64_t from = lane->Begun();
    ASSERT_TRUE(lane->WaitDone(from + 3, 2s));
    EXPECT_EQ(lane->PeakSince(from), 0.0f);
    device->Uninstall();
}
