// Song model costs: filling a song in time order and out of order, seeking, and the
// musical-time conversions.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "model/Song.h"
#include "model/SongIter.h"

namespace {

std::unique_ptr<MidiMsg> Note(int key) {
    return std::make_unique<MidiMsgNote>(0, static_cast<std::uint8_t>(key & 127), 100, 96);
}

void BM_AddInTimeOrder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Song song;
        for (int i = 0; i < count; ++i)
            song.AddMsg(i * 12 + (i % 3), Note(i));
        benchmark::DoNotOptimize(song.LastTick());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AddInTimeOrder)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Tracks arrive one after another, each rewinding the insertion cursor, as the file
// reader fills a song.
void BM_AddOutOfOrderWithRewinds(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    constexpr int kTracks = 16;
    for (auto _ : state) {
        Song song;
        for (int t = 0; t < kTracks; ++t) {
            song.RewindInsertion();
            for (int i = t; i < count; i += kTracks)
                song.AddMsg(i * 7 + t, Note(i));
        }
        benchmark::DoNotOptimize(song.LastTick());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AddOutOfOrderWithRewinds)->Arg(100000)->Unit(benchmark::kMillisecond);

// Random rewinds: each record goes to a random tick from the start of the song.
void BM_AddRandomWithRewinds(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::mt19937 rng(1);
    for (auto _ : state) {
        Song song;
        for (int i = 0; i < count; ++i) {
            song.RewindInsertion();
            song.AddMsg(std::uniform_int_distribution<int>(0, count * 10)(rng), Note(i));
        }
        benchmark::DoNotOptimize(song.LastTick());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AddRandomWithRewinds)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SeekAcrossSong(benchmark::State& state) {
    Song song;
    const int count = 1000000;
    for (int i = 0; i < count; ++i)
        song.AddMsg(i * 10, Note(i));
    SongIter it(song);
    std::mt19937 rng(2);
    for (auto _ : state) {
        const int tick = std::uniform_int_distribution<int>(0, count * 10)(rng);
        benchmark::DoNotOptimize(it.Seek(tick));
    }
}
BENCHMARK(BM_SeekAcrossSong)->Unit(benchmark::kMicrosecond);

void BM_TickToBarBeatTick(benchmark::State& state) {
    Song song;
    for (int m = 4; m < 200; m += 8)
        song.SetTimeSignature(m, 3 + m % 5, 4);
    std::int32_t tick = 0;
    for (auto _ : state) {
        MusicalTime t = song.TickToMusicalTime(tick);
        benchmark::DoNotOptimize(t);
        tick = (tick + 7919) % 300000;
    }
}
BENCHMARK(BM_TickToBarBeatTick);

void BM_BarBeatTickToTick(benchmark::State& state) {
    Song song;
    for (int m = 4; m < 200; m += 8)
        song.SetTimeSignature(m, 3 + m % 5, 4);
    std::int32_t measure = 0, out = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(song.MusicalTimeToTick(MusicalTime{measure, 1, 5}, out));
        measure = (measure + 13) % 190;
    }
}
BENCHMARK(BM_BarBeatTickToTick);

} // namespace

BENCHMARK_MAIN();
