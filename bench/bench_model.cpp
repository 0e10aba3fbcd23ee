// Song model costs at 25,000 to 4,000,000 events: filling a song in time order and out of
// order, inserting at random times, seeking, the memory a time point takes, and the
// musical-time conversions.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <random>

#include "model/Song.h"
#include "model/SongIter.h"

namespace {

std::unique_ptr<MidiMsg> Note(int key) {
    return std::make_unique<MidiMsgNote>(0, static_cast<std::uint8_t>(key & 127), 100, 96);
}

// One note every ten ticks.
std::unique_ptr<Song> EvenSong(int count) {
    auto song = std::make_unique<Song>();
    for (int i = 0; i < count; ++i)
        song->AddMsg(i * 10, Note(i));
    return song;
}

void SongSizes(benchmark::internal::Benchmark* b) {
    for (int n : {25000, 100000, 400000, 1000000, 4000000})
        b->Arg(n);
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
BENCHMARK(BM_AddInTimeOrder)->Apply(SongSizes)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_AddOutOfOrderWithRewinds)->Apply(SongSizes)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_AddRandomWithRewinds)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// One record at a random time of a song of the given size, most of them making a new
// point; the time is per record.
void BM_RandomInsert(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto song = EvenSong(count);
    std::mt19937 rng(3);
    for (auto _ : state)
        song->AddMsg(std::uniform_int_distribution<int>(0, count * 10)(rng), Note(count));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomInsert)->Apply(SongSizes)->Unit(benchmark::kMicrosecond);

// 40,000 records at random times into a song of a million events, as one batch.
void BM_Add40000RandomIntoSong(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::mt19937 rng(4);
    for (auto _ : state) {
        state.PauseTiming();
        auto song = EvenSong(count);
        state.ResumeTiming();
        for (int i = 0; i < 40000; ++i)
            song->AddMsg(std::uniform_int_distribution<int>(0, count * 10)(rng), Note(i));
        benchmark::DoNotOptimize(song->LastTick());
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Add40000RandomIntoSong)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Seeks to random ticks, the way a view jumps about the song.
void BM_SeekAcrossSong(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto song = EvenSong(count);
    SongIter it(*song);
    std::mt19937 rng(2);
    for (auto _ : state) {
        const int tick = std::uniform_int_distribution<int>(0, count * 10)(rng);
        benchmark::DoNotOptimize(it.Seek(tick));
    }
}
BENCHMARK(BM_SeekAcrossSong)->Apply(SongSizes)->Unit(benchmark::kMicrosecond);

// What a seek costs a cursor made for the purpose, as the edit commands make them.
void BM_SeekFreshCursor(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto song = EvenSong(count);
    std::mt19937 rng(5);
    for (auto _ : state) {
        SongTimeIter it(*song);
        it.Seek(std::uniform_int_distribution<int>(0, count * 10)(rng));
        benchmark::DoNotOptimize(it.Point());
    }
}
BENCHMARK(BM_SeekFreshCursor)->Apply(SongSizes)->Unit(benchmark::kMicrosecond);

// Heap bytes of one time point without records, read from the allocator's own count.
void BM_PointMemory(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    double perPoint = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto song = std::make_unique<Song>();
        for (int i = 0; i < count; ++i)
            song->InsertPointBefore(song->Points().End(), 10);
        perPoint = static_cast<double>(mallinfo2().uordblks - before) / count;
        benchmark::DoNotOptimize(song->LastTick());
    }
    state.counters["bytes_per_point"] = perPoint;
    state.counters["sizeof_point"] = static_cast<double>(sizeof(SongTimePoint));
}
BENCHMARK(BM_PointMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

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
