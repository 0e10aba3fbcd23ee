// A song played in through the scripted input, recorded and placed: the same notes come
// back, and undo gives back the song as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "edit/CommandProcessor.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "record/MidiRecordSession.h"
#include "record/MidiRecorder.h"
#include "record/MidiTakePlacer.h"
#include "record/ScriptedMidiInput.h"
#include "support/SongBuilder.h"

namespace {

namespace fs = std::filesystem;

struct Note {
    std::int32_t tick;
    int key;
    int channel;
    std::int32_t duration;
};

std::vector<Note> Notes(Song& song) {
    std::vector<Note> notes;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        if (it.Msg()->kind == kMsgNote) {
            const auto* n = static_cast<const MidiMsgNote*>(it.Msg());
            notes.push_back({it.Tick(), n->key, n->channel, n->duration});
        }
    std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        return std::tie(a.tick, a.channel, a.key) < std::tie(b.tick, b.channel, b.key);
    });
    return notes;
}

std::string Bytes(Song& song) {
    std::string bytes;
    EXPECT_TRUE(MidiWriter::SongBytes(song, bytes));
    return bytes;
}

// The coarsest align grid every note of `notes` starts on.
int GridEntry(const std::vector<Note>& notes, std::int32_t ticksPerQuarter) {
    for (int entry = 1; entry < 10; ++entry) {
        const std::int32_t grid =
            4 * ticksPerQuarter / std::array{0, 3, 4, 6, 8, 12, 16, 24, 32, 64}[entry];
        if (std::all_of(notes.begin(), notes.end(),
                        [&](const Note& n) { return n.tick % grid == 0; }))
            return entry;
    }
    return 9;
}

// Plays `file` in (as fast as the input can) and records it up to the options.
void Record(const fs::path& file, Song& song, std::unique_ptr<ScriptedMidiInput>& input,
            std::unique_ptr<MidiRecorder>& recorder, std::unique_ptr<MidiRecordSession>& session) {
    AString error;
    input = ScriptedMidiInput::FromMidiFile(file, 0, error);
    ASSERT_TRUE(input) << error.str();
    recorder = std::make_unique<MidiRecorder>(*input, nullptr);
    session = std::make_unique<MidiRecordSession>(song, song.TempoAt(0), 0, true, *recorder);
    ASSERT_TRUE(session->Open({}, {}));
    ASSERT_TRUE(input->WaitFinished(std::chrono::seconds(10)));
    session->Drain();
    ASSERT_TRUE(session->Done({}));
}

} // namespace

TEST(MidiTakePlacement, ACorpusSongPlayedInComesBackWithItsNotesAndUndoRestoresTheBytes) {
    const fs::path corpus = fs::path(VORLAUNE_CORPUS_DIR) / "midi-edge";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "the shared corpus is not at " << VORLAUNE_CORPUS_DIR;
    for (const char* name : {"test-multichannel-chords-1.mid", "test-c-major-scale.mid"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<Song> original;
        ASSERT_TRUE(MidiReader::LoadSong(corpus / name, original));
        const std::vector<Note> played = Notes(*original);
        ASSERT_FALSE(played.empty());

        // The song the take goes into: the file's resolution and tempo, and a note of its
        // own that Mix keeps.
        auto song = BuildSong("0 c15 n100 10", original->TicksPerQuarter());
        song->SetTempo(0, original->TempoAt(0));
        const std::string before = Bytes(*song);

        std::unique_ptr<ScriptedMidiInput> input;
        std::unique_ptr<MidiRecorder> recorder;
        std::unique_ptr<MidiRecordSession> session;
        Record(corpus / name, *song, input, recorder, session);
        ASSERT_TRUE(session);
        ASSERT_EQ(session->GetState(), MidiRecordSession::State::Choosing);
        session->placeAt = {0, 0, 0};
        session->method = 0;
        session->assignByChannel = true;
        session->alignEntry = GridEntry(played, song->TicksPerQuarter());
        session->alignBeginnings = true;
        MidiTakePlacement placement;
        ASSERT_FALSE(session->Accept(placement));

        CommandProcessor commands;
        SongIter view(*song);
        ASSERT_TRUE(MidiTakePlacer::Place(commands, view, session->TakeSong(), placement, {}));

        // The take started at its first note, which is where the file's first note was.
        const std::int32_t offset = played.front().tick;
        std::vector<Note> placed = Notes(*song);
        auto own = std::find_if(placed.begin(), placed.end(),
                                [](const Note& n) { return n.channel == 15 && n.key == 100; });
        ASSERT_NE(own, placed.end());
        placed.erase(own);
        ASSERT_EQ(placed.size(), played.size());

        for (std::size_t i = 0; i < played.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(placed[i].key, played[i].key);
            EXPECT_EQ(placed[i].channel, played[i].channel);
            EXPECT_EQ(placed[i].tick + offset, played[i].tick);
            EXPECT_LE(std::abs(placed[i].duration - played[i].duration), placement.grid);
        }
        commands.Undo();
        EXPECT_EQ(Bytes(*song), before);
    }
}

TEST(MidiTakePlacement, FitAlignThenForceToTheCurrentTrackWithOverwrite) {
    // Two beats' worth of take stretched to a bar, quarters aligned, written over bar 2.
    auto take = BuildSong("0 c3 n60 190, 200 c3 n62 180, 390 c3 n64 5");
    auto song = BuildSong("1536 n50 384, 1920 t1 c1 n52 384, 3500 n55 10");
    MidiTakePlacement placement;
    placement.at = 1536;
    placement.method = 1;
    placement.fit = true;
    placement.fitLength = 1536;
    placement.align = true;
    placement.grid = 384;
    placement.alignBeginnings = true;
    placement.alignDurations = true;
    PasteTarget current;
    current.track = 1;
    current.channel = 1;
    current.program = 7;
    CommandProcessor commands;
    SongIter view(*song);
    const std::string before = DumpRecords(*song);
    ASSERT_TRUE(MidiTakePlacer::Place(commands, view, std::move(take), placement, current));
    const std::vector<Note> notes = Notes(*song);
    std::string brief;
    for (const Note& n : notes)
        brief += std::to_string(n.tick) + ":" + std::to_string(n.key) + "/" +
                 std::to_string(n.channel) + "/" + std::to_string(n.duration) + " ";
    // The take now spans the bar; the song's notes in it are gone, the one after stays.
    EXPECT_EQ(brief, "1536:60/1/768 2304:62/1/768 3072:64/1/384 3500:55/0/10 ");
    commands.Undo();
    EXPECT_EQ(DumpRecords(*song), before);
}
