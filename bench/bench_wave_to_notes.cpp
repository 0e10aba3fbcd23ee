// Speed of the wave-to-notes converter, and the notes it finds, for the accuracy table
// of bench/voice/run.
//
//   bench_wave_to_notes [--out DIR] [--repeat N] [--method M] [--reference] FILE...
//
// Each file (any sound file the converter reads) is converted with the default settings
// and method M (WTMMethod, the default unless given) N times (3); the least thread CPU time counts.
// Its notes go to DIR/NAME.notes as "pitch onset offset" lines (seconds), and one line
// "NAME audio-seconds cpu-seconds" to standard output. --reference also walks every
// frame of the recording at 44.1 kHz with the frame method's detector and with the
// plain-loop detector, checks that each frame's result is identical, and prints both
// detectors' times. Without files a generated recording is used.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "record/DetectFrequency.h"
#include "record/PitchConversions.h"
#include "record/RecordingReader.h"
#include "record/ReferenceDetectFrequency.h"
#include "record/WaveToNotes.h"

namespace {

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Wave {
    std::vector<std::int16_t> samples;
    double rate = 44100.0;
};

// The recording as the frame method sees it: one channel at 44.1 kHz.
bool Load(const std::string& path, Wave& wave) {
    RecordingReader reader;
    if (!reader.OpenFile(path, WaveToNotes::kAnalysisRate))
        return false;
    wave.rate = WaveToNotes::kAnalysisRate;
    std::int16_t block[8192];
    while (const std::size_t got = reader.Read(block, std::size(block)))
        wave.samples.insert(wave.samples.end(), block, block + got);
    return true;
}

// Sung-like test material: harmonic tones with vibrato, rests and a little noise.
Wave Generated(double seconds) {
    Wave w;
    std::mt19937 rng(1);
    std::normal_distribution<double> hiss(0.0, 200.0);
    std::uniform_int_distribution<int> pick(48, 76);
    w.samples.resize(static_cast<std::size_t>(seconds * w.rate));
    double phase = 0.0;
    for (std::size_t i = 0; i < w.samples.size();) {
        const double f0 = FrequencyOfNote(pick(rng));
        const std::size_t tone = static_cast<std::size_t>(0.45 * w.rate);
        for (std::size_t j = 0; j < tone && i < w.samples.size(); ++j, ++i) {
            const double t = static_cast<double>(j) / w.rate;
            const double f =
                f0 * std::pow(2.0, 0.3 / 12.0 * std::sin(2 * std::numbers::pi * 5.5 * t));
            phase += 2 * std::numbers::pi * f / w.rate;
            double v = 0.0;
            for (int h = 1; h <= 5; ++h)
                v += std::sin(h * phase) / h;
            w.samples[i] = static_cast<std::int16_t>(6000.0 * v + hiss(rng));
        }
        for (std::size_t j = 0; j < tone / 4 && i < w.samples.size(); ++j, ++i)
            w.samples[i] = static_cast<std::int16_t>(hiss(rng));
    }
    return w;
}

double ConvertSeconds(const WaveToNotesParameters& p, int repeat,
                      std::vector<DetectedNote>& notes) {
    double best = 1e30;
    for (int r = 0; r < repeat; ++r) {
        WaveToNotes converter;
        int voiced = 0;
        const double t0 = ThreadSeconds();
        converter.Convert(p, notes, voiced);
        best = std::min(best, ThreadSeconds() - t0);
    }
    return best;
}

// Walks the frames with both detectors; false when any frame differs.
bool CompareDetectors(const Wave& w, double& shipped, double& plain) {
    const double low = FrequencyOfNote(20);
    const double high = FrequencyOfNote(94);
    const long n = static_cast<long>(w.samples.size());
    shipped = plain = 0.0;
    for (long at = 0; at < n;) {
        FrequencyAnalysisSegment a, b;
        double t0 = ThreadSeconds();
        const int ra =
            DetectFrequency(w.samples.data() + at, n - at, w.rate, &a.length, true, false, 3.1717,
                            &a.frequency, &a.confidence, &a.candidateCount, &a.threshold, 2258, low,
                            high, 0.474451, 2.9935, false, false);
        double t1 = ThreadSeconds();
        const int rb =
            ReferenceDetectFrequency(w.samples.data() + at, n - at, w.rate, &b.length, true, false,
                                     3.1717, &b.frequency, &b.confidence, &b.candidateCount,
                                     &b.threshold, 2258, low, high, 0.474451, 2.9935, false, false);
        double t2 = ThreadSeconds();
        shipped += t1 - t0;
        plain += t2 - t1;
        if (ra != rb || std::memcmp(&a, &b, sizeof a) != 0) {
            std::fprintf(stderr, "frame at sample %ld differs\n", at);
            return false;
        }
        if (ra == kDetectNeedMoreSamples || a.length == 0)
            break;
        at += a.length;
    }
    return true;
}

void Report(const char* name, const Wave& w, double convertSeconds, bool reference) {
    const double audio = static_cast<double>(w.samples.size()) / w.rate;
    std::printf("%s %.3f %.6f", name, audio, convertSeconds);
    if (reference) {
        double shipped = 0, plain = 0;
        const bool same = CompareDetectors(w, shipped, plain);
        std::printf(" detector %.6f plain %.6f %s", shipped, plain,
                    same ? "identical" : "DIFFERENT");
        if (!same) {
            std::printf("\n");
            std::exit(1);
        }
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path out = ".";
    int repeat = 3;
    int method = WaveToNotesParameters{}.method;
    bool reference = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc)
            out = argv[++i];
        else if (arg == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--method" && i + 1 < argc)
            method = std::atoi(argv[++i]);
        else if (arg == "--reference")
            reference = true;
        else
            files.push_back(arg);
    }

    if (files.empty()) {
        const Wave w = Generated(30.0);
        const std::string bytes(reinterpret_cast<const char*>(w.samples.data()),
                                w.samples.size() * 2);
        WaveToNotesParameters p;
        p.method = method;
        p.samples = reinterpret_cast<const std::uint8_t*>(bytes.data());
        p.sampleBytes = bytes.size();
        p.sampleRate = w.rate;
        std::vector<DetectedNote> notes;
        const double seconds = ConvertSeconds(p, repeat, notes);
        std::printf("generated 30 s recording: %zu notes, %.1f x real time\n", notes.size(),
                    30.0 / seconds);
        Report("generated", w, seconds, true);
        return 0;
    }

    std::filesystem::create_directories(out);
    for (const std::string& file : files) {
        Wave w;
        if (!Load(file, w)) {
            std::fprintf(stderr, "%s: not a sound file\n", file.c_str());
            return 1;
        }
        WaveToNotesParameters p;
        p.method = method;
        p.fileName = file;
        std::vector<DetectedNote> notes;
        const double seconds = ConvertSeconds(p, repeat, notes);
        const std::string name = std::filesystem::path(file).stem().string();
        std::ofstream list(out / (name + ".notes"));
        for (const DetectedNote& n : notes)
            list << int{n.note} << ' ' << n.start / 1e6 << ' ' << (n.start + n.length) / 1e6
                 << '\n';
        Report(name.c_str(), w, seconds, reference);
    }
    return 0;
}
