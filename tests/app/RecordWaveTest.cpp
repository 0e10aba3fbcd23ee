#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "app/RecordWave.h"
#include "edit/CommandProcessor.h"
#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "record/WaveBytes.h"
#include "record/WaveCapture.h"
#include "support/HandCaptureSource.h"
#include "support/MessageLog.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace wavebytes;

namespace {

// Questions nobody answered are answered No.
struct Answers : MessageLog {
    Answers() { unanswered = MessageAnswer::No; }
};

struct Cue {
    std::int32_t tick;
    std::string text;
    std::uint16_t track;
};

std::vector<Cue> Cues(Song& song) {
    std::vector<Cue> cues;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        if (it.Msg()->kind == kMsgText) {
            const auto& text = static_cast<const MidiMsgText&>(*it.Msg());
            if (text.textType == 7)
                cues.push_back({it.Tick(), text.text.str(), text.track});
        }
    return cues;
}

// A song saved in a folder, and a recorder writing to a home directory beside it.
struct Session {
    TempDir dir;
    std::unique_ptr<Song> song = BuildSong("0 n60 96, 0 t1 n64 96", 96);
    CommandProcessor commands;
    HandCaptureSource* source = nullptr;
    std::unique_ptr<RecordWave> record;

    explicit Session(std::int32_t placeAt = 192) {
        song->SetTempo(0, 500000);
        song->SetTempo(192, 250000);
        auto capture = HandFedCapture(dir / "home", source);
        RecordWave::Target target;
        target.song = song.get();
        target.commands = &commands;
        target.songFile = dir / "Tune.MID";
        target.placeAt = placeAt;
        target.track = 1;
        record = std::make_unique<RecordWave>(target, std::move(capture));
    }
    // Half a second of quiet, then a sung note.
    void Sing() {
        ASSERT_FALSE(record->Start());
        std::vector<std::int16_t> take = Silence(0.5);
        Append(take, Tone(262, 9000, 3, 0.4));
        source->Feed(take);
        record->Finish();
    }
    fs::path Take() const { return dir / "home" / "VLRecording.WAV"; }
};

} // namespace

TEST(RecordWave, TheNameComesFromTheSongAndTheCueMovesByTheTimeCutAtTheTempoThere) {
    EXPECT_EQ(RecordWave::PresetName("Tune.MID"), "Tune.WAV");
    EXPECT_EQ(RecordWave::PresetName("tune.mid"), "tune.WAV");
    EXPECT_EQ(RecordWave::PresetName("tune.midi"), "tune.midi.WAV");
    EXPECT_EQ(RecordWave::PresetName("a.mid.Mid"), "a.mid.WAV");
    EXPECT_EQ(RecordWave::PresetName("mid"), "mid.WAV");
    // Half a second is a quarter at 120 per minute; a tick's fraction is dropped.
    EXPECT_EQ(RecordWave::ShiftedTime(10, 500000, 96, 500000), 106);
    EXPECT_EQ(RecordWave::ShiftedTime(0, 10416, 96, 500000), 1);
    EXPECT_EQ(RecordWave::ShiftedTime(0, 4000000000u, 960, 1), 2147483647);
}

TEST(RecordWave, OkTrimsMovesTheTakeBesideTheSongAndPutsInOneUndoableCue) {
    Answers answers;
    Session s;
    EXPECT_EQ(s.record->PresetName(), "Tune.WAV");
    s.Sing();
    ASSERT_TRUE(s.record->Place(true, true, "Tune.WAV"));
    EXPECT_TRUE(answers.shown.empty());
    EXPECT_TRUE(fs::exists(s.dir / "Tune.WAV"));
    EXPECT_FALSE(fs::exists(s.Take()));
    // Half a second cut at 250000 us a quarter (the tempo from tick 192): two quarters.
    const auto cues = Cues(*s.song);
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].tick, 192 + 192);
    EXPECT_EQ(cues[0].text, "Audio:Tune.WAV");
    EXPECT_EQ(cues[0].track, 1);
    EXPECT_EQ(s.commands.UndoCount(), 1u);
    s.commands.Undo();
    EXPECT_TRUE(Cues(*s.song).empty());
    EXPECT_TRUE(fs::exists(s.dir / "Tune.WAV"));
}

TEST(RecordWave, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    Answers answers;
    Session s;
    s.dir.Write("Tune.WAV", "an older recording");
    s.Sing();
    answers.answers = {MessageAnswer::No};
    EXPECT_FALSE(s.record->Place(false, false, "Tune.WAV"));
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(answers.shown[0].text.str(), std::string(RecordWave::kReplaceFile) +
                                               (s.dir / "Tune.WAV").string() +
                                               RecordWave::kReplaceFileQuestion);
    EXPECT_EQ(TempDir::Read(s.dir / "Tune.WAV"), "an older recording");
    EXPECT_TRUE(fs::exists(s.Take()));
    EXPECT_TRUE(Cues(*s.song).empty());

    answers.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(s.record->Place(false, false, "Tune.WAV"));
    EXPECT_NE(TempDir::Read(s.dir / "Tune.WAV"), "an older recording");
    EXPECT_EQ(Cues(*s.song)[0].tick, 192);
}

TEST(RecordWave, AFailedMoveKeepsTheTakeAndTheSongAndARetryKeepsTheShift) {
    Answers answers;
    Session s(0);
    s.Sing();
    EXPECT_FALSE(s.record->Place(true, false, "no such folder/Tune.WAV"));
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(answers.shown[0].text.str().rfind(RecordWave::kMoveFailed, 0), 0u)
        << answers.shown[0].text.str();
    EXPECT_NE(answers.shown[0].text.str().find("no such folder"), std::string::npos);
    EXPECT_TRUE(fs::exists(s.Take()));
    EXPECT_TRUE(Cues(*s.song).empty());
    EXPECT_EQ(s.commands.UndoCount(), 0u);

    // The take was already trimmed: trimming again cuts nothing, the shift stays.
    ASSERT_TRUE(s.record->Place(true, false, "Tune.WAV"));
    EXPECT_EQ(Cues(*s.song)[0].tick, 96);
}

TEST(RecordWave, RefusesNamesThatWouldLoseTheTakeOrNameNothing) {
    Answers answers;
    Session s;
    s.Sing();
    EXPECT_FALSE(s.record->Place(false, false, "  "));
    EXPECT_FALSE(s.record->Place(false, false, "home/VLRecording.WAV"));
    ASSERT_EQ(answers.shown.size(), 2u);
    EXPECT_EQ(answers.shown[0].text.str(), RecordWave::kNoName);
    EXPECT_EQ(answers.shown[1].text.str(), RecordWave::kTakeItself);
    EXPECT_TRUE(fs::exists(s.Take()));
    EXPECT_TRUE(Cues(*s.song).empty());
}

TEST(RecordWave, AnUnplacedTakeIsRecordedOverOnlyWhenTheUserSaysSo) {
    Answers answers;
    Session s;
    EXPECT_TRUE(RecordWave::MayRecordOverTake(s.Take()));
    EXPECT_TRUE(answers.shown.empty());
    s.Sing();
    s.record->Cancel();
    const std::string kept = TempDir::Read(s.Take());

    answers.answers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_FALSE(RecordWave::MayRecordOverTake(s.Take()));
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(answers.shown[0].text.str(), std::string(RecordWave::kReplaceTake) +
                                               s.Take().string() +
                                               RecordWave::kReplaceTakeQuestion);
    EXPECT_EQ(TempDir::Read(s.Take()), kept);
    EXPECT_TRUE(RecordWave::MayRecordOverTake(s.Take()));
}

TEST(RecordWave, AFailedStartNamesWhatFailed) {
    Session s;
    s.source->refuse = true;
    const Refusal refused = s.record->Start();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused.Text().str(),
              std::string(RecordWave::kStartFailed) + "\n\nThere is no sound input device.");
    EXPECT_FALSE(s.record->Capture().Recording());
}

TEST(RecordWave, SoundThatCouldNotBeKeptIsToldWhenTheTakeEnds) {
    Answers answers;
    Session s;
    ASSERT_FALSE(s.record->Start());
    // More in one piece than the recorder can hold before writing any of it.
    const std::vector<std::int16_t> flood(std::size_t{3} << 20, 100);
    s.source->sink->Captured(flood.data(), flood.size());
    s.record->Finish();
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(answers.shown[0].text.str(),
              std::string(RecordWave::kIncomplete) +
                  "1048576 samples "
                  "were lost: writing the recording could not keep up.");
}
