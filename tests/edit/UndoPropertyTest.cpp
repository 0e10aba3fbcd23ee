// Random edits through the command processor, undone and redone at random: every undo
// step gives back exactly the song as it was before that step, every redo step the song
// as it was after it, and the history keeps at most 50 steps.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "EditTestSupport.h"
#include "edit/Clipboard.h"
#include "edit/CommandProcessor.h"
#include "edit/MC_AddMultipleMsg.h"
#include "edit/MC_ChangePitch.h"
#include "edit/MC_ChordAnchor.h"
#include "edit/MC_ChordInvert.h"
#include "edit/MC_ChordIter.h"
#include "edit/MC_ClearBlock.h"
#include "edit/MC_ClearMsg.h"
#include "edit/MC_CopyBlock.h"
#include "edit/MC_CutBlock.h"
#include "edit/MC_DeleteMsg.h"
#include "edit/MC_DeleteSpace.h"
#include "edit/MC_DeleteTimeKey.h"
#include "edit/MC_DeleteTrack.h"
#include "edit/MC_FitToTime.h"
#include "edit/MC_InsertMsg.h"
#include "edit/MC_InsertSpace.h"
#include "edit/MC_MoveMsg.h"
#include "edit/MC_NoteProperties.h"
#include "edit/MC_PasteBlock.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/MC_Quantize.h"
#include "edit/MC_SelectionProperties.h"
#include "edit/MC_SetTempo.h"
#include "edit/MC_SetTimeKeySig.h"
#include "edit/MC_SongProperties.h"
#include "edit/MC_TrackProperties.h"
#include "edit/MC_Transpose.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"

namespace {

using Rng = std::mt19937;

int Pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

std::unique_ptr<Song> RandomSong(Rng& rng, int ticksPerQuarter) {
    auto song = std::make_unique<Song>();
    song->SetTicksPerQuarter(ticksPerQuarter);
    const int tracks = Pick(rng, 1, 4);
    for (int t = 0; t < tracks; ++t)
        song->AddTrack(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(Pick(rng, 0, 3)),
                       kNoBank);
    const int span = ticksPerQuarter * 4 * 8;
    const int events = Pick(rng, 20, 150);
    for (int i = 0; i < events; ++i) {
        // Ticks on a coarse grid now and then, so that points hold several records.
        int tick = Pick(rng, 0, 3) ? Pick(rng, 0, span / 96) * 96 : Pick(rng, 0, span);
        const auto track = static_cast<std::uint16_t>(Pick(rng, 0, tracks - 1));
        const auto channel = static_cast<std::uint8_t>(Pick(rng, 0, 2) ? track : Pick(rng, 0, 15));
        std::unique_ptr<MidiMsg> msg;
        switch (Pick(rng, 0, 9)) {
        case 0:
            msg = std::make_unique<MidiMsgControlChange>(
                channel,
                static_cast<std::uint8_t>(std::vector<int>{7, 39, 64, 10}[Pick(rng, 0, 3)]),
                Pick(rng, 0, 127));
            break;
        case 1:
            msg = std::make_unique<MidiMsgText>(Pick(rng, 0, 1) ? 5 : 1,
                                                AString("w" + std::to_string(i)));
            break;
        case 2:
            msg = std::make_unique<MidiMsgPolyAftertouch>(channel, Pick(rng, 40, 80),
                                                          Pick(rng, 0, 127));
            break;
        case 3:
            msg = std::make_unique<MidiMsgChannelAftertouch>(channel, Pick(rng, 0, 127));
            break;
        default:
            msg = std::make_unique<MidiMsgNote>(channel, Pick(rng, 30, 100), Pick(rng, 1, 127),
                                                Pick(rng, 1, 4 * ticksPerQuarter),
                                                static_cast<std::uint8_t>(Pick(rng, 0, 3)),
                                                Pick(rng, 0, 3) ? kNoBank : 2, Pick(rng, 0, 64));
        }
        msg->track = track;
        song->AddMsg(tick, std::move(msg));
    }
    return song;
}

void RandomFilter(Rng& rng, ViewFilter& filter, std::size_t tracks) {
    filter = ViewFilter();
    if (Pick(rng, 0, 1))
        filter.SetKind(kMsgNote);
    if (Pick(rng, 0, 2) == 0) {
        filter.SetAllTracks(false);
        filter.SelectTrack(static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(tracks) - 1)));
    }
    if (Pick(rng, 0, 3) == 0) {
        filter.SetAllChannels(false);
        for (int c = 0; c < 16; ++c)
            filter.SelectChannel(static_cast<std::size_t>(c), Pick(rng, 0, 1));
    }
    if (Pick(rng, 0, 3) == 0) {
        filter.SetAllInstruments(false);
        filter.SelectInstrument(static_cast<std::size_t>(Pick(rng, 0, 3)));
    }
}

struct Found {
    std::int32_t tick;
    MidiMsg* msg;
};

std::vector<Found> AllRecords(Song& song, bool notesOnly) {
    std::vector<Found> all;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        if (!notesOnly || it.Msg()->kind == kMsgNote)
            all.push_back({it.Tick(), it.Msg()});
    return all;
}

class Editor {
public:
    Editor(Rng& rng, Song& song) : rng_(rng), song_(song), view_(song) {}

    // One random undoable command.
    std::unique_ptr<CPCommand> Undoable() {
        Song& song = song_;
        const int tpq = song.TicksPerQuarter();
        RandomFilter(rng_, view_.filter, std::max<std::size_t>(song.TrackCount(), 1));
        const int end = song.LastTick() + 4 * tpq;
        view_.it.Seek(Pick(rng_, 0, end));
        const std::int32_t from = Pick(rng_, 0, end);
        const std::int32_t to = from + Pick(rng_, 0, 8 * tpq);
        const std::int32_t time =
            Pick(rng_, 0, 3) ? Pick(rng_, 0, end / 96) * 96 : Pick(rng_, 0, end);
        const auto track = static_cast<std::uint16_t>(Pick(rng_, 0, 5));
        const auto notes = AllRecords(song, true);
        const auto records = AllRecords(song, false);
        MidiMsgNote note(static_cast<std::uint8_t>(Pick(rng_, 0, 15)), Pick(rng_, 0, 127),
                         Pick(rng_, 1, 127), Pick(rng_, 0, 2 * tpq), Pick(rng_, 0, 5));
        note.track = track;
        switch (Pick(rng_, 0, 19)) {
        case 18:
            return SongWide(time);
        case 0:
            return std::make_unique<MC_PutMsgAtTime>(view_.it, note, time);
        case 1: {
            MidiMsgControlChange cc(
                static_cast<std::uint8_t>(Pick(rng_, 0, 3)),
                std::vector<std::uint8_t>{7, 39, 64, kPitchBend}[Pick(rng_, 0, 3)],
                Pick(rng_, 0, 127));
            cc.track = track;
            return std::make_unique<MC_PutMsgAtTime>(view_.it, cc, time);
        }
        case 2: {
            MidiMsgText lyric(5, "la");
            lyric.track = track;
            return std::make_unique<MC_PutMsgAtTime>(view_.it, lyric, time);
        }
        case 3:
            return std::make_unique<MC_InsertMsg>(view_.it, note, note.duration, time);
        case 4:
            if (!notes.empty()) {
                const Found& f = notes[Pick(rng_, 0, static_cast<int>(notes.size()) - 1)];
                MidiMsgNote chord = *static_cast<MidiMsgNote*>(f.msg);
                const auto pitch = chord.key;
                chord.key = static_cast<std::uint8_t>(Pick(rng_, 0, 127));
                return std::make_unique<MC_AddMultipleMsg>(view_.it, pitch, chord, f.tick);
            }
            break;
        case 5:
            if (!notes.empty()) {
                const Found& f = notes[Pick(rng_, 0, static_cast<int>(notes.size()) - 1)];
                return std::make_unique<MC_ChangePitch>(view_.it, *static_cast<MidiMsgNote*>(f.msg),
                                                        f.tick, Pick(rng_, 0, 127));
            }
            break;
        case 6:
            if (!notes.empty()) {
                const Found& f = notes[Pick(rng_, 0, static_cast<int>(notes.size()) - 1)];
                return std::make_unique<MC_NoteProperties>(
                    view_.it, *static_cast<MidiMsgNote*>(f.msg), f.tick, Pick(rng_, 0, 127),
                    Pick(rng_, 0, 127), Pick(rng_, 1, 3 * tpq));
            }
            break;
        case 7:
        case 8:
            if (!records.empty()) {
                const Found& f = records[Pick(rng_, 0, static_cast<int>(records.size()) - 1)];
                if (Pick(rng_, 0, 1))
                    return std::make_unique<MC_DeleteMsg>(view_.it, *f.msg, f.tick);
                return std::make_unique<MC_ClearMsg>(view_.it, *f.msg, f.tick);
            }
            break;
        case 9:
            return std::make_unique<MC_CopyBlock>(view_.it, from, to);
        case 10:
            return std::make_unique<MC_CutBlock>(view_.it, from, to);
        case 11: {
            const int kind = Pick(rng_, 0, 1) ? kAllKinds : Pick(rng_, 0, 6);
            return std::make_unique<MC_ClearBlock>(view_.it, from, to, kind, kAnySubKey);
        }
        case 12: {
            if (!Clipboard::Get() || Pick(rng_, 0, 3) == 0) {
                // A clipboard from another song, at another resolution now and then.
                auto other = RandomSong(rng_, Pick(rng_, 0, 1) ? tpq : 96);
                SongIter it(*other);
                const std::int32_t a = Pick(rng_, 0, other->LastTick());
                Clipboard::Set(BlockOps::Copy(it, a, a + Pick(rng_, 0, 6 * tpq)));
            }
            PasteOptions options;
            options.at = time;
            options.method = static_cast<PasteMethod>(Pick(rng_, 0, 2));
            options.target.placement = static_cast<TrackPlacement>(Pick(rng_, 0, 2));
            options.target.track = track;
            options.target.channel = static_cast<std::uint8_t>(Pick(rng_, 0, 15));
            options.target.program = static_cast<std::uint8_t>(Pick(rng_, 0, 127));
            options.copies = Pick(rng_, 1, 3);
            options.space = Pick(rng_, -tpq, 2 * tpq);
            return std::make_unique<MC_PasteBlock>(view_.it, options);
        }
        case 13:
            return std::make_unique<MC_InsertSpace>(view_.it, time, Pick(rng_, 0, 4 * tpq));
        case 14:
            return std::make_unique<MC_DeleteSpace>(view_.it, time, Pick(rng_, 0, 4 * tpq));
        case 15:
            return std::make_unique<MC_Transpose>(view_.it, from, to, Pick(rng_, -30, 30));
        case 16:
            if (!notes.empty()) {
                const Found& f = notes[Pick(rng_, 0, static_cast<int>(notes.size()) - 1)];
                const auto& n = *static_cast<MidiMsgNote*>(f.msg);
                switch (Pick(rng_, 0, 3)) {
                case 0:
                    return std::make_unique<MC_ChordInvert>(view_.it, n, f.tick);
                case 1:
                    return std::make_unique<MC_ChordAnchor>(view_.it, n, f.tick,
                                                            Pick(rng_, 0, 1) ? 12 : -12);
                default:
                    return std::make_unique<MC_ChordIter>(view_.it, n, f.tick,
                                                          Pick(rng_, 0, 1) ? 1 : -1);
                }
            }
            break;
        default: {
            SelectionProps props;
            props.startVelocity = Pick(rng_, 0, 1) ? kUnchanged : Pick(rng_, 0, 127);
            props.endVelocity = Pick(rng_, 0, 1) ? kUnchanged : Pick(rng_, 0, 127);
            props.program = Pick(rng_, 0, 1) ? kUnchanged : Pick(rng_, 0, 127);
            props.channel = Pick(rng_, 0, 1) ? kUnchanged : Pick(rng_, 0, 15);
            return std::make_unique<MC_SelectionProperties>(view_.it, from, to, props);
        }
        }
        return std::make_unique<MC_InsertSpace>(view_.it, time, tpq);
    }

    // Commands on the song as a whole: its properties, tracks, tempos and signatures.
    std::unique_ptr<CPCommand> SongWide(std::int32_t time) {
        Song& song = song_;
        const auto tracks = static_cast<int>(song.TrackCount());
        const auto track = static_cast<std::uint16_t>(Pick(rng_, 0, std::max(tracks - 1, 0)));
        switch (Pick(rng_, 0, 6)) {
        case 0: {
            const std::int32_t tpq = Pick(rng_, 0, 2) ? song.TicksPerQuarter()
                                                      : std::vector{96, 120, 480}[Pick(rng_, 0, 2)];
            return std::make_unique<MC_SongProperties>(song, Pick(rng_, 0, 1) ? "Title" : "", "",
                                                       Pick(rng_, 0, 1) ? "(c)" : "", "", tpq);
        }
        case 1:
            return std::make_unique<MC_TrackProperties>(
                song, track, static_cast<std::uint8_t>(Pick(rng_, 0, 15)),
                static_cast<std::uint8_t>(Pick(rng_, 0, 127)), Pick(rng_, 0, 1) ? kNoBank : 3);
        case 2: {
            const long count = static_cast<long>(song.TempoCount());
            const long index = Pick(rng_, 0, 1) ? MC_SetTempo::kNewEntry : Pick(rng_, 0, count);
            return std::make_unique<MC_SetTempo>(song, index, time, Pick(rng_, 200000, 900000),
                                                 Pick(rng_, 0, 1));
        }
        case 3: {
            TimeAndKeySignature sig;
            sig.measure = Pick(rng_, 0, 6);
            sig.numerator = Pick(rng_, 1, 7);
            sig.denominator = 1 << Pick(rng_, 1, 4);
            sig.key = Pick(rng_, -7, 7);
            const long count = static_cast<long>(song.SignatureCount());
            return std::make_unique<MC_SetTimeKeySig>(song, Pick(rng_, -1, count), sig);
        }
        case 4:
            if (song.SignatureCount() > 1)
                return std::make_unique<MC_DeleteTimeKey>(
                    song, static_cast<std::size_t>(
                              Pick(rng_, 1, static_cast<int>(song.SignatureCount()) - 1)));
            break;
        default:
            if (tracks > 1)
                return std::make_unique<MC_DeleteTrack>(song, track);
        }
        return std::make_unique<MC_SetTempo>(song, MC_SetTempo::kNewEntry, time, 400000);
    }

    // One random command that cannot be undone.
    std::unique_ptr<CPCommand> NotUndoable() {
        const int tpq = song_.TicksPerQuarter();
        view_.it.Seek(Pick(rng_, 0, song_.LastTick()));
        const std::int32_t from = Pick(rng_, 0, song_.LastTick());
        switch (Pick(rng_, 0, 2)) {
        case 0:
            return std::make_unique<MC_Quantize>(view_.it, from, from + 8 * tpq, tpq / 2, true,
                                                 true);
        case 1:
            return std::make_unique<MC_FitToTime>(view_.it, from, from + 4 * tpq, 3 * tpq, true);
        default:
            return std::make_unique<MC_MoveMsg>(view_.it, tpq / 4);
        }
    }

    TestView& View() { return view_; }

private:
    Rng& rng_;
    Song& song_;
    TestView view_;
};

// The song as the dump shows it (readable when a test fails) and as it saves.
struct State {
    std::string dump;
    std::string bytes;
    bool operator==(const State&) const = default;
};

State Capture(Song& song) {
    State state{DumpSong(song), {}};
    std::string error;
    EXPECT_TRUE(MidiWriter::SongBytes(song, state.bytes, &error)) << error;
    return state;
}

#define EXPECT_SAME_SONG(song, state, what)                                                        \
    do {                                                                                           \
        const State now = Capture(song);                                                           \
        ASSERT_EQ(now.dump, (state).dump) << what;                                                 \
        ASSERT_TRUE(now.bytes == (state).bytes) << "saved bytes differ " << what;                  \
    } while (0)

// Undo and redo walk a list of known states; the processor must agree with it.
void RunRandomSession(Rng& rng, Song& song, int steps) {
    Editor editor(rng, song);
    CommandProcessor cp;
    std::vector<State> states{Capture(song)};
    std::size_t pos = 0;
    int changes = 0;
    // Another view's cursor stays open the whole time.
    ViewFilter otherFilter;
    SongIter other(song, &otherFilter);
    for (int step = 0; step < steps; ++step) {
        const int what = Pick(rng, 0, 99);
        if (what < 55) {
            cp.Submit(editor.Undoable());
            ASSERT_EQ(editor.View().it.Filter(), &editor.View().filter);
            states.resize(pos + 1);
            states.push_back(Capture(song));
            changes += !(states.back() == states[pos]);
            ++pos;
            if (states.size() > 51) {
                states.erase(states.begin());
                --pos;
            }
        } else if (what < 58) {
            cp.Submit(editor.NotUndoable());
            states = {Capture(song)};
            pos = 0;
        } else if (what < 80) {
            if (cp.CanUndo()) {
                const std::string name = cp.NextUndo()->GetName();
                cp.Undo();
                --pos;
                EXPECT_SAME_SONG(song, states[pos],
                                 "after undo of " << name << " at step " << step);
            }
        } else if (cp.CanRedo()) {
            const std::string name = cp.NextRedo()->GetName();
            cp.Redo();
            ++pos;
            EXPECT_SAME_SONG(song, states[pos], "after redo of " << name << " at step " << step);
        }
        ASSERT_EQ(cp.CanUndo(), pos > 0);
        ASSERT_EQ(cp.CanRedo(), pos + 1 < states.size());
        other.Seek(Pick(rng, 0, song.LastTick() + 10));
    }
    // Most steps change the song; a session where nothing changed proves nothing.
    EXPECT_GT(changes, steps / 8);
    while (cp.CanUndo())
        cp.Undo();
    EXPECT_SAME_SONG(song, states.front(), "after undoing everything");
    while (cp.CanRedo())
        cp.Redo();
    EXPECT_SAME_SONG(song, states.back(), "after redoing everything");
}

} // namespace

TEST(UndoProperty, RandomEditsUndoAndRedoExactly) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        auto song = RandomSong(rng, seed % 3 ? 384 : 120);
        RunRandomSession(rng, *song, 150);
        if (HasFatalFailure())
            return;
    }
}

TEST(UndoProperty, UndoingEverythingGivesBackTheOriginal) {
    Rng rng(777);
    auto song = RandomSong(rng, 384);
    const State original = Capture(*song);
    Editor editor(rng, *song);
    CommandProcessor cp;
    for (int i = 0; i < 50; ++i)
        cp.Submit(editor.Undoable());
    const State edited = Capture(*song);
    ASSERT_NE(edited.dump, original.dump);
    while (cp.CanUndo())
        cp.Undo();
    EXPECT_SAME_SONG(*song, original, "after undoing all");
    while (cp.CanRedo())
        cp.Redo();
    EXPECT_SAME_SONG(*song, edited, "after redoing all");
}

TEST(UndoProperty, RealSongsUndoAndRedoToTheSameBytes) {
    namespace fs = std::filesystem;
    const fs::path corpus = fs::path(VORLAUNE_CORPUS_DIR) / "midi-edge";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no outside test files at " << corpus;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.path().extension() == ".mid")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int edited = 0;
    for (const fs::path& file : files) {
        std::unique_ptr<Song> song;
        if (!MidiReader::LoadSong(file, song))
            continue;
        SCOPED_TRACE(file.filename().string());
        Rng rng(static_cast<unsigned>(file.filename().string().size()) * 7919u + 3u);
        RunRandomSession(rng, *song, 60);
        if (HasFatalFailure())
            return;
        ++edited;
    }
    EXPECT_GT(edited, 10);
}
