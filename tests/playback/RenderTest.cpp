#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "FakePlayer.h"
#include "TestSounds.h"
#include "model/Song.h"
#include "playback/ConsolePlayer.h"
#include "playback/PlayerEngine.h"
#include "playback/SoundDecoder.h"
#include "playback/SoundFont.h"
#include "playback/SynthRenderer.h"
#include "playback/VorlauneGuts.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/AtomicFile.h"
#include "util/INIFile.h"

namespace {

constexpr int kRate = 44100;

void Render(ConsolePlayer& player, Song& song, AString* notes = nullptr) {
    AString error, heard;
    EXPECT_TRUE(player.Render(song, error, heard)) << error.str();
    if (notes)
        *notes = heard;
}

std::vector<float> LeftOf(const std::filesystem::path& file) {
    AString error;
    auto sound = DecodeSoundFile(file, kRate, error);
    EXPECT_TRUE(sound) << error.str();
    std::vector<float> left;
    if (sound)
        for (std::size_t i = 0; i < sound->samples.size(); i += 2)
            left.push_back(sound->samples[i]);
    return left;
}

// The first frame at or after `from` whose level passes `threshold`, or -1.
long FirstLoud(const std::vector<float>& samples, long from, float threshold) {
    for (long i = std::max(from, 0L); i < static_cast<long>(samples.size()); ++i)
        if (std::fabs(samples[static_cast<std::size_t>(i)]) > threshold)
            return i;
    return -1;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestSoundFont().empty())
            GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    std::unique_ptr<ConsolePlayer> Player(const std::string& name) {
        auto player = std::make_unique<ConsolePlayer>(dir / name);
        player->Engine().SetSoundFont(TestSoundFont());
        return player;
    }
    TempDir dir;
};

} // namespace

TEST_F(RenderTest, NotesStartWhereTheTempoMapPutsThem) {
    // A wood block (percussive, quick to die away) every so often, across two tempo
    // changes, one of them where nothing sounds.
    auto song = BuildSong("0 c9 n76 20, 384 c9 n76 20, 768 c9 n76 20, 1536 c9 n76 20, "
                          "1920 c9 n76 20, 2304 c9 n76 20, 2496 c9 n76 20");
    song->SetTempo(1152, 250000);
    song->SetTempo(1920, 1000000);
    const double expected[] = {0.0, 0.5, 1.0, 1.75, 2.0, 3.0, 3.5};
    auto player = Player("onsets.wav");
    Render(*player, *song);
    const std::vector<float> left = LeftOf(dir / "onsets.wav");
    ASSERT_FALSE(left.empty());
    float peak = 0;
    for (float s : left)
        peak = std::max(peak, std::fabs(s));
    ASSERT_GT(peak, 0.01f);
    const float threshold = peak * 0.05f;
    // The sound's own attack is measured on the first note; every later note must
    // follow its time by the same amount.
    const long attack = FirstLoud(left, 0, threshold);
    ASSERT_GE(attack, 0);
    ASSERT_LT(attack, kRate / 20);
    for (double seconds : expected) {
        const long due = std::lround(seconds * kRate);
        const long onset = FirstLoud(left, due - kRate / 20, threshold);
        EXPECT_NEAR(onset - attack, due, 64) << "note at " << seconds << " s";
    }
    // The song ends two quarter notes (at the last tempo) after its last note.
    EXPECT_NEAR(static_cast<double>(left.size()) / kRate, 3.5 + 2.0, 64.0 / kRate);
}

TEST_F(RenderTest, CueSoundsStartAtTheirTick) {
    dir.Write("click.wav", WaveBytes(kRate, 2, 100, 20000));
    dir.Write("low.wav", WaveBytes(22050, 1, 50, -20000)); // resampled, mono
    auto player = Player("cues.wav");
    player->Guts().AddAudioWAVFile("click.wav", AString(dir.Path().string()));
    player->Guts().AddAudioWAVFile("low.wav", AString(dir.Path().string()));
    auto song = BuildSong("768 text7=Audio:click.wav, 1000 text7=Audio:low.wav");
    song->fileName = (dir / "cues.mid").string();
    Render(*player, *song);
    const std::vector<float> left = LeftOf(dir / "cues.wav");
    const long click = FirstLoud(left, 0, 0.1f);
    EXPECT_NEAR(click, kRate, 32); // tick 768 = 1 s
    const long low = FirstLoud(left, click + 200, 0.1f);
    EXPECT_NEAR(low, std::lround(1000 / 768.0 * kRate), 32);
    EXPECT_LT(left[static_cast<std::size_t>(low) + 10], -0.5f);
}

TEST_F(RenderTest, ASongWithoutSoundRendersItsClosingSilence) {
    Song empty;
    auto player = Player("empty.wav");
    Render(*player, empty);
    std::vector<float> left = LeftOf(dir / "empty.wav");
    EXPECT_EQ(left.size(), static_cast<std::size_t>(kRate)); // two quarters at 120 bpm
    EXPECT_EQ(FirstLoud(left, 0, 0.0f), -1);

    // The synthesizer may leave a stray least significant bit; that is silence too.
    auto lyricsOnly = BuildSong("0 text5=la, 384 text5=lu");
    auto second = Player("lyrics.wav");
    Render(*second, *lyricsOnly);
    left = LeftOf(dir / "lyrics.wav");
    // The closing group counts from the last group that played something (at 0 here).
    EXPECT_NEAR(static_cast<double>(left.size()), kRate, 64);
    EXPECT_EQ(FirstLoud(left, 0, 1e-4f), -1);
}

TEST_F(RenderTest, AMissingCueIsNotedAndTheRestStillRenders) {
    auto player = Player("missing.wav");
    auto song = BuildSong("0 n60 96, 384 text7=Audio:nowhere.wav");
    AString notes;
    Render(*player, *song, &notes);
    EXPECT_EQ(notes.Find("Cannot play the audio cue nowhere.wav:"), 0) << notes.str();
    EXPECT_TRUE(std::filesystem::exists(dir / "missing.wav"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.wav.partial"));
}

TEST_F(RenderTest, HostileCuesAreRefusedOrToldOfOnceAndTheRestPlays) {
    const std::filesystem::path folder = dir / "song";
    std::filesystem::create_directory(folder);
    dir.Write("outside.wav", WaveBytes(kRate, 2, 100, 20000));
    dir.Write("notes.txt", "no sound here");
    dir.Write("song/slow.wav", WaveBytes(1, 1, 1800, 10000, 8));
    ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0600), 0);
    const std::string far = (dir / "outside.wav").string();
    // Each of them twice, with the prefix written differently.
    auto song = BuildSong("384 text7=Audio:../outside.wav, 400 text7=AUDIO:/dev/zero, "
                          "420 text7=Audio:pipe.wav, 440 text7=Audio:slow.wav, "
                          "460 text7=Audio:../notes.txt, 480 text7=Audio:" +
                          far +
                          ", "
                          "768 text7=audio:../outside.wav, 800 text7=Audio:/dev/zero, "
                          "820 text7=AUDIO:pipe.wav, 840 text7=Audio:slow.wav, "
                          "860 text7=AUDIO:../notes.txt, 880 text7=AUDIO:" +
                          far);
    song->fileName = (folder / "song.mid").string();
    auto player = Player("hostile.wav");
    AString notes;
    Render(*player, *song, &notes);
    const auto told = [&](const std::string& text) {
        int count = 0;
        for (std::size_t at = notes.str().find(text); at != std::string::npos;
             at = notes.str().find(text, at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(told("The audio cue ../outside.wav plays the file " + far +
                   ", which lies outside the song's folder."),
              1)
        << notes.str();
    EXPECT_EQ(told("The audio cue " + far + " plays the file " + far), 1);
    EXPECT_EQ(told("Cannot play the audio cue /dev/zero:\n\n/dev/zero is not an ordinary file."),
              1);
    EXPECT_EQ(told("Cannot play the audio cue pipe.wav:\n\n" + (folder / "pipe.wav").string() +
                   " is not an ordinary file."),
              1);
    EXPECT_EQ(told("Cannot play the audio cue slow.wav:\n\nThe sound's sample rate (1 Hz)"), 1);
    EXPECT_EQ(told("Cannot play the audio cue ../notes.txt:\n\nThe file " +
                   (dir / "notes.txt").string() + " is not a sound file"),
              1);
    // What lies outside but is a sound plays.
    const std::vector<float> left = LeftOf(dir / "hostile.wav");
    EXPECT_NEAR(FirstLoud(left, 0, 0.3f), kRate / 2, 32);
}

TEST_F(RenderTest, AnUnwritableFileIsReportedAndLeavesNothingBehind) {
    const auto nowhere = dir / "no" / "such" / "folder.wav";
    ConsolePlayer player(nowhere);
    player.Engine().SetSoundFont(TestSoundFont());
    auto song = BuildSong("0 n60 96");
    AString error, notes;
    EXPECT_FALSE(player.Render(*song, error, notes));
    EXPECT_EQ(error.str(),
              "Cannot write the file " + nowhere.string() + ":\n\nNo such file or directory");

    // A read-only take stays as it was, even though the folder would let it be replaced.
    const auto locked = dir.Write("locked.wav", "the user's take");
    ::chmod(locked.c_str(), 0444);
    auto lockedPlayer = Player("locked.wav");
    EXPECT_FALSE(lockedPlayer->Render(*song, error, notes));
    EXPECT_EQ(error.str(), "Cannot write the file " + locked.string() + ":\n\nPermission denied");
    EXPECT_EQ(TempDir::Read(locked), "the user's take");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"locked.wav"});
}

TEST_F(RenderTest, NothingIsWrittenThroughLinksOrOverAFileBesideTheTarget) {
    const auto victim = dir.Write("victim", "precious");
    const auto partial = dir.Write("out.wav.partial", "someone else's");
    std::filesystem::create_symlink(victim, dir / "out.wav.new~");
    for (int i = 0; i + 1 < AtomicFile::kNameAttempts; ++i)
        std::filesystem::create_symlink(victim, AtomicFile::TemporaryName(dir / "out.wav", i));
    auto player = Player("out.wav");
    Render(*player, *BuildSong("0 n60 96"));
    EXPECT_FALSE(LeftOf(dir / "out.wav").empty());
    EXPECT_EQ(TempDir::Read(victim), "precious");
    EXPECT_EQ(TempDir::Read(partial), "someone else's");
}

TEST_F(RenderTest, AFailedWriteRemovesTheTemporaryFile) {
    // The file size limit stands in for a full disk: three seconds of sound do not fit.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{65536, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    auto player = Player("full.wav");
    AString error, notes;
    const bool rendered = player->Render(*BuildSong("0 n60 3000"), error, notes);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(rendered);
    EXPECT_EQ(error.Find("Cannot write the file " + (dir / "full.wav").string() + ":\n\n"), 0)
        << error.str();
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

TEST_F(RenderTest, ASoundFontSettingNamingNoSoundFontFallsBackWithAWarning) {
    const std::filesystem::path fake = dir.Write("fake.sf2", "RIFF, but no SoundFont");
    dir.Write(INIFile::kFileName, "SoundFont=" + fake.string() + "\n");
    INIFile ini(dir.Path());
    INIFile::SetGlobal(&ini);
    ConsolePlayer player(dir / "fallback.wav");
    INIFile::SetGlobal(nullptr);
    const std::filesystem::path system = FindSoundFont(nullptr);
    ASSERT_FALSE(system.empty());
    EXPECT_EQ(player.Engine().SoundFont(), system);
    auto song = BuildSong("0 n60 96");
    AString error, notes;
    ASSERT_TRUE(player.Render(*song, error, notes)) << error.str();
    EXPECT_EQ(notes, "The file " + AString(fake.string()) +
                         ", named under \"SoundFont\" in VORLAUNE.INI, is not a SoundFont. The "
                         "built-in synthesizer uses " +
                         AString(system.string()) + " instead.");
    // Said once.
    ASSERT_TRUE(player.Render(*song, error, notes)) << error.str();
    EXPECT_EQ(notes, "");
}

TEST_F(RenderTest, LoadingASoundFontAgainReplacesTheSynthesizerWhole) {
    SynthRenderer renderer;
    AString error;
    EXPECT_FALSE(renderer.Load("/nonexistent/font.sf2", error));
    EXPECT_EQ(renderer.Settings(), nullptr); // nothing half made is kept
    ASSERT_TRUE(renderer.Load(TestSoundFont(), error)) << error.str();
    ASSERT_TRUE(renderer.Load(TestSoundFont(), error)) << error.str();
    renderer.BeginPlay();
    const std::uint8_t on[3] = {0x90, 60, 100};
    renderer.SendMidi(on, 3, 0);
    std::vector<float> left(4096), right(4096);
    renderer.Render(nullptr, left.data(), right.data(), 4096);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 0.01f);
}

TEST(PlayerEngine, OutputsThatCannotOpenSayWhyAndNothingStarts) {
    RecordingSink messages;
    auto engine = std::make_unique<PlayerEngine>();
    PlayerEngine& player = *engine;
    VorlauneGuts guts(std::move(engine));
    auto song = BuildSong("0 n60 96");

    player.SetOutputDevice(40);
    guts.PlayAll(song.get(), nullptr);
    EXPECT_FALSE(player.MMSystemInUse());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "MIDI System:");
    EXPECT_EQ(messages.shown[0].text.Find("MIDI output port 40 does not exist"), 0);

    player.SetOutputDevice(MidiPlayer::kBuiltInSynthesizer);
    player.SetSoundFont("/nonexistent/font.sf2");
    guts.PlayAll(song.get(), nullptr);
    EXPECT_FALSE(player.MMSystemInUse());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text.Find("The built-in synthesizer cannot load the SoundFont"), 0);

    player.SetSoundFont(TestSoundFont());
    guts.PlayAll(song.get(), nullptr);
    if (player.MMSystemInUse()) {
        player.StopMusic(); // this machine has a sound card
        return;
    }
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].text.Find("The built-in synthesizer cannot play: no audio "
                                          "output device could be opened"),
              0)
        << messages.shown[2].text.str();
}
