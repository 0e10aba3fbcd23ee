#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <functional>

#include "WaveBytes.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "playback/PostTarget.h"
#include "record/PitchConversions.h"
#include "record/WaveToNotesWorker.h"
#include "record/WaveToSong.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

using namespace wavebytes;

namespace {

// A quarter second of silence on either side of a sung note.
std::string SungWave(int note, double seconds) {
    std::vector<std::int16_t> x = Silence(0.25);
    Append(x, Tone(FrequencyOfNote(note), 10000, 4, seconds, 300));
    Append(x, Silence(0.25));
    return MonoWave(x);
}

} // namespace

// Takes the worker's posts on the worker's own thread, as a test may.
class CountingTarget : public PostTarget {
public:
    std::function<void(std::uint32_t, std::int64_t)> onPost;
    std::atomic<int> progress{0};
    std::atomic<int> finished{0};
    void Post(std::uint32_t message, std::int64_t value) override {
        (message == kFinished ? finished : progress)++;
        if (onPost)
            onPost(message, value);
    }
    static constexpr std::uint32_t kProgress = 1;
    static constexpr std::uint32_t kFinished = 2;
};

TEST(WaveToNotesWorker, EveryRunPostsItsEndAndOnlyFinishedRunsHaveNotes) {
    TempDir dir;
    WaveToNotesParameters p;
    CountingTarget target;
    p.fileName = dir.Write("take.wav", SungWave(62, 0.6)).string();
    {
        WaveToNotesWorker worker;
        ASSERT_TRUE(worker.Start(p, &target, CountingTarget::kProgress, CountingTarget::kFinished));
        EXPECT_FALSE(worker.Start(p, nullptr, 0, 0));
        ASSERT_TRUE(worker.WaitFinished(std::chrono::seconds(60)));
        EXPECT_FALSE(worker.Failed());
        const auto notes = worker.TakeNotes();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].note, 62);
    }
    EXPECT_EQ(target.finished, 1);
    EXPECT_GT(target.progress, 2);

    p.fileName = (dir / "missing.wav").string();
    WaveToNotesWorker failing;
    failing.Start(p, &target, CountingTarget::kProgress, CountingTarget::kFinished);
    ASSERT_TRUE(failing.WaitFinished(std::chrono::seconds(60)));
    EXPECT_EQ(failing.ErrorText(),
              "Error Occurred Converting: Wave file not in correct format.\n\n" + p.fileName +
                  ": No such file or directory");
    EXPECT_EQ(target.finished, 2);

    // Cancelled at its first report, a long run ends early and hands over nothing.
    p.fileName = dir.Write("long.wav", SungWave(62, 20.0)).string();
    WaveToNotesWorker cancelled;
    target.progress = 0;
    target.onPost = [&](std::uint32_t message, std::int64_t) {
        if (message == CountingTarget::kProgress)
            cancelled.Cancel();
    };
    cancelled.Start(p, &target, CountingTarget::kProgress, CountingTarget::kFinished);
    ASSERT_TRUE(cancelled.WaitFinished(std::chrono::seconds(60)));
    EXPECT_EQ(target.finished, 3);
    EXPECT_LT(target.progress, 5);
    EXPECT_TRUE(cancelled.TakeNotes().empty());
}

TEST(WaveToSong, PutsTheNotesOnTheFirstTrackAtTheirTimeInTheRecordingOrSaysWhyNot) {
    TempDir dir;
    // A note sung 1.25 s into the recording starts 1.25 s into the song (960 ticks at 120
    // per minute), whatever the rest deletion for placing notes at the cursor says.
    std::vector<std::int16_t> x = Silence(1.25);
    Append(x, Tone(FrequencyOfNote(69), 10000, 4, 0.5, 300));
    const auto late = dir.Write("late.wav", MonoWave(x));
    for (const char* settings : {"WTMEraseRest=2\nWTMMethod=0\n", "WTMEraseRest=1\n"}) {
        TempDir home;
        home.Write(INIFile::kFileName, settings);
        INIFile ini(home.Path());
        Song song;
        Message failure;
        ASSERT_TRUE(ConvertWaveToSong(late.string(), &ini, song, nullptr, failure));
        const std::string dump = DumpRecords(song);
        int tick = 0;
        int duration = 0;
        ASSERT_EQ(std::sscanf(dump.c_str(), "%d 0 note ch=0 key=69 vel=96 rel=0 dur=%d prog=0",
                              &tick, &duration),
                  2)
            << dump;
        EXPECT_NEAR(tick, 960, 40) << settings;
        EXPECT_NEAR(duration, 384, 40) << settings;
    }

    Song other;
    Message failure;
    const auto stereo = dir.Write("s.wav", Riff({Fmt(1, 2, 44100, 16), Chunk("data", "")}));
    EXPECT_FALSE(ConvertWaveToSong(stereo.string(), nullptr, other, nullptr, failure));
    EXPECT_EQ(failure.text.str(), kWaveToNotesNoNotesText);
    EXPECT_EQ(failure.icon, MessageIcon::Information);
    const auto quiet = dir.Write("q.wav", MonoWave(Silence(1.0)));
    EXPECT_FALSE(ConvertWaveToSong(quiet.string(), nullptr, other, nullptr, failure));
    EXPECT_EQ(failure.text.str(), kWaveToNotesNoNotesText);
    EXPECT_EQ(other.PointCount(), 0u);

    // A folder or a pipe is refused at once with the reason; so is a header that lies.
    ASSERT_EQ(::mkfifo((dir / "pipe.wav").c_str(), 0600), 0);
    const std::string wrong = "Error Occurred Converting: Wave file not in correct format.\n\n";
    EXPECT_FALSE(ConvertWaveToSong(dir.Path().string(), nullptr, other, nullptr, failure));
    EXPECT_EQ(failure.text.str(), wrong + dir.Path().string() + ": Is a directory");
    EXPECT_EQ(failure.icon, MessageIcon::Exclamation);
    EXPECT_FALSE(ConvertWaveToSong((dir / "pipe.wav").string(), nullptr, other, nullptr, failure));
    EXPECT_EQ(failure.text.str(), wrong + (dir / "pipe.wav").string() + ": Not a regular file");
    const auto broken = dir.Write("broken.wav", "RIFF....WAVE");
    EXPECT_FALSE(ConvertWaveToSong(broken.string(), nullptr, other, nullptr, failure));
    EXPECT_TRUE(failure.text.str().starts_with(wrong + broken.string() +
                                               ": Not a sound file the program can read: "))
        << failure.text.str();
}
