// Loading, saving and dumping a big MIDI file, against two independent readers on the
// same file in the same run: midicsv and python3-mido.
//
//   build/bench/bench_midifile [NOTES] [FILE]
//
// Writes a 16-track file of NOTES notes (default 1,000,000) with controllers between
// them, then reports the median of several runs of each step and each peer's time as a
// multiple of ours. Times are CPU seconds (user + system), medians of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/SongDump.h"

namespace {

// CPU seconds (user + system) of this process and of finished children: the machine is
// shared, so wall-clock time says more about the neighbours than about the work.
double CpuSeconds() {
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return secs(self.ru_utime) + secs(self.ru_stime) + secs(children.ru_utime) +
           secs(children.ru_stime);
}

double Seconds(const std::function<void()>& work, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = CpuSeconds();
        work();
        times.push_back(CpuSeconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::unique_ptr<Song> MakeSong(int notes) {
    auto song = std::make_unique<Song>();
    std::mt19937 rng(42);
    constexpr int kTracks = 16;
    for (int t = 0; t < kTracks; ++t)
        song->AddTrack(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t * 7), -1);
    for (int t = 0; t < kTracks; ++t) {
        song->RewindInsertion();
        std::int32_t tick = 0;
        for (int i = t; i < notes; i += kTracks) {
            tick += 24 * std::uniform_int_distribution<int>(0, 4)(rng);
            auto note = std::make_unique<MidiMsgNote>(
                static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(36 + rng() % 60),
                static_cast<std::uint8_t>(40 + rng() % 80), 24 + static_cast<int>(rng() % 200),
                static_cast<std::uint8_t>(t * 7));
            note->track = static_cast<std::uint16_t>(t);
            song->AddMsg(tick, std::move(note));
            if (i % 4 == 0) {
                auto cc = std::make_unique<MidiMsgControlChange>(
                    static_cast<std::uint8_t>(t), i % 8 == 0 ? 7 : 64,
                    static_cast<std::uint16_t>(i % 8 == 0 ? (rng() % 16384) : (rng() % 128)));
                cc->track = static_cast<std::uint16_t>(t);
                song->AddMsg(tick, std::move(cc));
            }
        }
    }
    return song;
}

double Peer(const std::string& command, int runs) {
    return Seconds(
        [&] {
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "peer failed: %s\n", command.c_str());
        },
        runs);
}

} // namespace

int main(int argc, char** argv) {
    const int notes = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::string file = argc > 2 ? argv[2] : "/tmp/vorlaune-bench-big.mid";
    constexpr int kRuns = 5;

    {
        auto song = MakeSong(notes);
        if (!MidiWriter::SaveSong(*song, file)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    // Loaded songs are kept until the end: freeing one is not part of loading.
    std::vector<std::unique_ptr<Song>> loaded;
    const double load = Seconds(
        [&] {
            std::unique_ptr<Song> one;
            MidiReader::LoadSong(file, one);
            loaded.push_back(std::move(one));
        },
        kRuns);
    std::unique_ptr<Song>& song = loaded.back();
    const std::string saved = file + ".saved.mid";
    const double save = Seconds([&] { MidiWriter::SaveSong(*song, saved, false); }, kRuns);
    std::size_t dumpSize = 0;
    const double dump = Seconds([&] { dumpSize = DumpSong(*song).size(); }, kRuns);
    const double midicsv = Peer("midicsv '" + file + "' /dev/null", kRuns);
    const double mido =
        Peer("/usr/bin/python3 -c 'import mido,sys; mido.MidiFile(sys.argv[1])' '" + file + "'", 3);

    std::printf("file: %s, %d notes in 16 tracks, %zu points\n", file.c_str(), notes,
                song->PointCount());
    std::printf("%-28s %9s %12s\n", "step", "CPU s", "peer/ours");
    std::printf("%-28s %9.3f\n", "vorlaune load", load);
    std::printf("%-28s %9.3f\n", "vorlaune save", save);
    std::printf("%-28s %9.3f   (%zu bytes of text)\n", "vorlaune dump (text only)", dump, dumpSize);
    std::printf("%-28s %9.3f %12.2f  (vs load)\n", "midicsv IN /dev/null", midicsv, midicsv / load);
    std::printf("%-28s %9.3f %12.2f  (vs load)\n", "python3 mido.MidiFile(IN)", mido, mido / load);
    std::remove(saved.c_str());
    return load < midicsv ? 0 : 2;
}
