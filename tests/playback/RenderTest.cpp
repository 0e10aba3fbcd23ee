#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "FakePlayer.h"
#include "model/Song.h"
#include "playback/ConsolePlayer.h"
#include "playback/PlayerEngine.h"
#include "playback/SoundDecoder.h"
#include "playback/VorlauneGuts.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/AtomicFile.h"

namespace {

constexpr int kRate = 44100;

// The small General MIDI font loads fast; any other will do.
std::filesystem::path TestSoundFont() {
    for (const char* candidate :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
          "/usr/share/sounds/sf2/default-GM.sf2"})
        if (std::filesystem::exists(candidate))
            return candidate;
    return {};
}

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

// A 16-bit PCM wave: `frames` frames of `value`, then as many of silence.
std::string Wave(int rate, int channels, int frames, std::int16_t value) {
    std::string data;
    for (int f = 0; f < 2 * frames; ++f)
        for (int c = 0; c < channels; ++c) {
            const std::int16_t v = f < frames ? value : 0;
            data.push_back(static_cast<char>(v & 0xFF));
            data.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    const auto u32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    const auto u16 = [](std::uint16_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
    };
    std::string fmt = u16(1) + u16(static_cast<std::uint16_t>(channels)) + u32(rate) +
                      u32(static_cast<std::uint32_t>(rate * channels * 2)) +
                      u16(static_cast<std::uint16_t>(channels * 2)) + u16(16);
    std::string body = "WAVE" + std::string("fmt ") + u32(16) + fmt + "data" +
                       u32(static_cast<std::uint32_t>(data.size())) + data;
    return "RIFF" + u32(static_cast<std::uint32_t>(body.size())) + body;
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
    dir.Write("click.wav", Wave(kRate, 2, 100, 20000));
    dir.Write("low.wav", Wave(22050, 1, 50, -20000)); // resampled, mono
    auto player = Player("cues.wav");
    player->Guts().AddAudioWAVFile("click.wav", AString(dir.Path().string()));
    player->Guts().AddAudioWAVFile("low.wav", AString(dir.Path().string()));
    auto song = BuildSong("768 text7=Audio:click.wav, 1000 text7=Audio:low.wav");
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
