// The wave recorder's live analysis against real time: a sung line with room noise is
// played in through the file capture source and the processing delay (sound taken in
// but not yet analysed, in seconds) is sampled every 5 ms while it records.
//
//   build/bench/bench_live_analysis [MINUTES [SPEED]]
//
// Defaults: a 5-minute take at real time (SPEED 1). A higher SPEED plays the take in that
// many times faster than it was sung, to see how much headroom the analysis has. Also
// reported: the processor time the recording took (writing and analysing, all threads)
// as a share of the time it ran. The goal at real time is a delay that stays under
// 0.2 s; up to a frame's worth of sound (77 ms at the default pitch range) always waits
// for the rest of its frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "record/WaveBytes.h"
#include "record/WaveCapture.h"
#include "record/WaveFileCaptureSource.h"

using namespace wavebytes;
namespace fs = std::filesystem;

namespace {

// Phrases of held, gliding and vibrato notes over a few octaves, with breaths between.
std::vector<std::int16_t> SungTake(double minutes) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> step(-4, 4);
    std::uniform_real_distribution<double> length(0.15, 0.9);
    Contour line;
    double note = 60, seconds = 0;
    line.Rest(0.5);
    while (seconds < minutes * 60.0) {
        for (int i = 0; i < 8; ++i) {
            const double held = length(rng);
            note = std::clamp(note + step(rng), 45.0, 80.0);
            line.Glide(note, 0.04).Hold(note, held, i % 3 == 0 ? 25.0 : 5.0);
            seconds += held + 0.04;
        }
        line.Rest(0.4);
        seconds += 0.4;
    }
    std::vector<std::int16_t> take = Sing(line, 10000);
    const double total = static_cast<double>(take.size()) / AudioCaptureSource::kRate;
    return Mix(take, Noise(Colour::Pink, total, 120));
}

double CpuSeconds() {
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return secs(self.ru_utime) + secs(self.ru_stime);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 5.0;
    const double speed = argc > 2 ? std::atof(argv[2]) : 1.0;
    if (!(minutes > 0.0) || !(speed > 0.0)) {
        std::fprintf(stderr, "usage: %s [MINUTES [SPEED]]\n", argv[0]);
        return 2;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("vorlaune-live-analysis-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path input = folder / "sung.wav";
    {
        const std::vector<std::int16_t> take = SungTake(minutes);
        const std::string bytes = MonoWave(take);
        std::FILE* out = std::fopen(input.c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", input.c_str());
            return 1;
        }
        std::fclose(out);
    }

    WaveCapture capture(std::make_unique<WaveFileCaptureSource>(input.string(), speed));
    capture.SetDirectory(folder);
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    if (!capture.Prepare(error) || !capture.Start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<double> delays;
    while (!capture.SourceFinished()) {
        const std::uint64_t analysed = capture.AnalysedSamples();
        const std::uint64_t captured = capture.CapturedSamples();
        delays.push_back(static_cast<double>(captured - std::min(captured, analysed)) /
                         AudioCaptureSource::kRate);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    capture.Stop();
    // The analysis of what is still waiting when the source ends counts too.
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    const double sung = static_cast<double>(capture.CapturedSamples()) / AudioCaptureSource::kRate;

    double voiced = 0;
    for (std::size_t i = 0; i < capture.FrameCount(); ++i) {
        FrequencyAnalysisSegment f;
        if (capture.GetFrame(i, f) && f.candidateCount > 0)
            voiced += static_cast<double>(f.length) / AudioCaptureSource::kRate;
    }
    std::printf("take: %.1f s sung, played in at %g times real time in %.1f s; %zu frames, "
                "%.1f s of them voiced\n",
                sung, speed, wall, capture.FrameCount(), voiced);
    std::printf("processing delay: median %.3f s, maximum %.3f s over %zu samples "
                "(goal: under 0.2 s)\n",
                Median(delays),
                delays.empty() ? 0.0 : *std::max_element(delays.begin(), delays.end()),
                delays.size());
    std::printf("processor time: %.1f s, %.1f%% of the time it ran\n", cpu, 100.0 * cpu / wall);
    if (capture.LostSamples() > 0 || !capture.Problem().empty())
        std::printf("problem: %s\n", capture.Problem().c_str());
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
