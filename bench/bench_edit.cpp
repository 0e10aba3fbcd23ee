// Editing costs on big songs: copying, pasting and quantizing a whole song, long runs of
// undo and redo, and the undo and redo of one small edit. Each is timed at 25,000 to
// 4,000,000 notes so that the growth shows: none of the whole-song work may grow faster
// than the song, and a one-note step not at all.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "edit/BlockCopy.h"
#include "edit/BlockOps.h"
#include "edit/CommandProcessor.h"
#include "edit/MC_ChangePitch.h"
#include "edit/MC_CutBlock.h"
#include "edit/MC_DeleteMsg.h"
#include "edit/MC_InsertSpace.h"
#include "edit/MC_NoteProperties.h"
#include "edit/MC_PasteBlock.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/MC_Transpose.h"
#include "model/Song.h"
#include "model/SongIter.h"

namespace {

// Four tracks of notes a little off a sixteenth grid, with a controller now and then;
// added in time order, as the file reader adds them.
std::unique_ptr<Song> MakeSong(int notes) {
    auto song = std::make_unique<Song>();
    for (int t = 0; t < 4; ++t)
        song->AddTrack(static_cast<std::uint8_t>(t), 0, kNoBank);
    std::mt19937 rng(7);
    for (int i = 0; i < notes; ++i) {
        const int track = i % 4;
        const int tick = (i / 4) * 96 + track * 2 + static_cast<int>(rng() % 2);
        auto note = std::make_unique<MidiMsgNote>(static_cast<std::uint8_t>(track),
                                                  static_cast<std::uint8_t>(40 + rng() % 40), 100,
                                                  90 + static_cast<int>(rng() % 20));
        note->track = static_cast<std::uint16_t>(track);
        song->AddMsg(tick, std::move(note));
        if (i % 50 == 0) {
            auto cc = std::make_unique<MidiMsgControlChange>(static_cast<std::uint8_t>(track), 7,
                                                             static_cast<std::uint16_t>(i % 128));
            cc->track = static_cast<std::uint16_t>(track);
            song->AddMsg(tick, std::move(cc));
        }
    }
    return song;
}

void BM_CopyWholeSong(benchmark::State& state) {
    auto song = MakeSong(static_cast<int>(state.range(0)));
    SongIter it(*song);
    for (auto _ : state) {
        auto copy = BlockOps::Copy(it, 0, song->LastTick());
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetComplexityN(state.range(0));
}

void BM_PasteWholeSong(benchmark::State& state) {
    auto source = MakeSong(static_cast<int>(state.range(0)));
    SongIter from(*source);
    auto copy = BlockOps::Copy(from, 0, source->LastTick());
    PasteTarget keep;
    keep.placement = TrackPlacement::Keep;
    for (auto _ : state) {
        state.PauseTiming();
        auto song = MakeSong(static_cast<int>(state.range(0)));
        SongIter it(*song);
        state.ResumeTiming();
        // Into the middle of the song, opening room for it.
        BlockOps::Paste(it, song->LastTick() / 2, PasteMethod::Insert, keep, *copy);
        benchmark::DoNotOptimize(song->LastTick());
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

void BM_MixPasteWholeSong(benchmark::State& state) {
    auto source = MakeSong(static_cast<int>(state.range(0)));
    SongIter from(*source);
    auto copy = BlockOps::Copy(from, 0, source->LastTick());
    PasteTarget keep;
    keep.placement = TrackPlacement::Keep;
    for (auto _ : state) {
        state.PauseTiming();
        auto song = MakeSong(static_cast<int>(state.range(0)));
        SongIter it(*song);
        state.ResumeTiming();
        BlockOps::Paste(it, 48, PasteMethod::Mix, keep, *copy);
        benchmark::DoNotOptimize(song->LastTick());
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

void BM_QuantizeWholeSong(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto song = MakeSong(static_cast<int>(state.range(0)));
        SongIter it(*song);
        state.ResumeTiming();
        BlockOps::Quantize(it, 0, song->LastTick(), 96, true, true);
        benchmark::DoNotOptimize(song->LastTick());
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// 50 edits of every sort spread over the song, then undone and redone in turn until
// 1,000 steps are taken.
void BM_UndoRedo1000Steps(benchmark::State& state) {
    auto song = MakeSong(static_cast<int>(state.range(0)));
    SongIter view(*song);
    CommandProcessor cp;
    std::mt19937 rng(11);
    const std::int32_t length = song->LastTick();
    for (int i = 0; i < 50; ++i) {
        const auto at = static_cast<std::int32_t>(rng() % static_cast<unsigned>(length));
        view.Seek(at);
        switch (i % 6) {
        case 0:
            cp.Submit(std::make_unique<MC_Transpose>(view, at, at + 1536, 2));
            break;
        case 1:
            cp.Submit(std::make_unique<MC_InsertSpace>(view, at, 384));
            break;
        case 2:
            cp.Submit(std::make_unique<MC_CutBlock>(view, at, at + 768));
            break;
        case 3: {
            PasteOptions options;
            options.at = at;
            options.method = PasteMethod::Insert;
            options.target.placement = TrackPlacement::Keep;
            cp.Submit(std::make_unique<MC_PasteBlock>(view, options));
            break;
        }
        case 4:
            cp.Submit(std::make_unique<MC_PutMsgAtTime>(view, MidiMsgNote(0, 60, 90, 96), at));
            break;
        default:
            if (view.Msg())
                cp.Submit(std::make_unique<MC_DeleteMsg>(view, *view.Msg(), view.Tick()));
        }
    }
    for (auto _ : state) {
        int steps = 0;
        while (steps < 1000) {
            while (cp.CanUndo() && steps < 1000) {
                cp.Undo();
                ++steps;
            }
            while (cp.CanRedo() && steps < 1000) {
                cp.Redo();
                ++steps;
            }
        }
        benchmark::DoNotOptimize(song->LastTick());
    }
    state.SetComplexityN(state.range(0));
}

// One-note edits at 64 places spread over the song, all undone and then all redone, so
// that each step finds a cold part of the song as a user's single undo would. The time
// is per round of 128 steps, the step counter per undo or redo.
template <class MakeCommand> void UndoRedoOneNote(benchmark::State& state, MakeCommand make) {
    constexpr int kEdits = 64;
    auto song = MakeSong(static_cast<int>(state.range(0)));
    SongIter view(*song);
    CommandProcessor cp;
    cp.SetMaxUndo(kEdits);
    std::mt19937 rng(13);
    for (int i = 0; i < kEdits; ++i) {
        view.Seek(static_cast<std::int32_t>(rng() % static_cast<unsigned>(song->LastTick())));
        while (view.Msg() && view.Msg()->kind != kMsgNote)
            view.Next();
        if (view.Msg())
            cp.Submit(make(view, static_cast<const MidiMsgNote&>(*view.Msg()), view.Tick()));
    }
    for (auto _ : state) {
        while (cp.CanUndo())
            cp.Undo();
        while (cp.CanRedo())
            cp.Redo();
    }
    benchmark::DoNotOptimize(song->LastTick());
    state.counters["step"] = benchmark::Counter(
        2 * kEdits, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetComplexityN(state.range(0));
}

// A new note between two grid points: undo takes its point away, redo makes it again.
void BM_UndoRedoPutNote(benchmark::State& state) {
    UndoRedoOneNote(state, [](SongIter& view, const MidiMsgNote& note, std::int32_t tick) {
        return std::make_unique<MC_PutMsgAtTime>(view, note, tick + 48);
    });
}

void BM_UndoRedoChangePitch(benchmark::State& state) {
    UndoRedoOneNote(state, [](SongIter& view, const MidiMsgNote& note, std::int32_t tick) {
        return std::make_unique<MC_ChangePitch>(view, note, tick,
                                                static_cast<std::uint8_t>(note.key + 1));
    });
}

void BM_UndoRedoNoteProperties(benchmark::State& state) {
    UndoRedoOneNote(state, [](SongIter& view, const MidiMsgNote& note, std::int32_t tick) {
        return std::make_unique<MC_NoteProperties>(view, note, tick, 64, 64, note.duration * 2);
    });
}

void SongSizes(benchmark::internal::Benchmark* b) {
    for (int n : {25000, 100000, 400000, 4000000})
        b->Arg(n);
}

} // namespace

BENCHMARK(BM_CopyWholeSong)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_PasteWholeSong)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_MixPasteWholeSong)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_QuantizeWholeSong)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_UndoRedo1000Steps)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_UndoRedoPutNote)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::o1);
BENCHMARK(BM_UndoRedoChangePitch)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::o1);
BENCHMARK(BM_UndoRedoNoteProperties)
    ->Apply(SongSizes)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::o1);

BENCHMARK_MAIN();
