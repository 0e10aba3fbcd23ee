// Playback figures.
//  1. Offline rendering against the fluidsynth command line with the same SoundFont: a
//     song of the outside corpus and a generated 10-minute song, timed in the same run,
//     and the note onsets of both renders (found by aubioonset) compared.
//  2. How late the real-time timing thread hands events to its output: median, 99th
//     percentile and worst over 10,000 events played on the wall clock into a null sink.
// Usage: bench_playback [--render] [--lateness]   (both when none is given)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "playback/ConsolePlayer.h"
#include "playback/NullSink.h"
#include "playback/PacedOutput.h"
#include "playback/PostQueue.h"
#include "playback/PostTarget.h"
#include "playback/SoundFont.h"
#include "playback/StreamPlayer.h"
#include "playback/VorlauneGuts.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// --- rendering against the peer ---------------------------------------------------------

// About ten minutes of a five-piece band, with a tempo change every 32 bars.
std::unique_ptr<Song> TenMinuteSong() {
    auto song = std::make_unique<Song>();
    const int q = song->TicksPerQuarter();
    const int bar = 4 * q;
    std::mt19937 random(2024);
    const int tempos[] = {500000, 454545, 555555, 500000};
    for (int b = 0; b < 300; b += 32)
        song->SetTempo(b * bar, tempos[(b / 32) % 4]);
    const auto add = [&](int track, int tick, int channel, int key, int velocity, int length,
                         int program) {
        while (song->TrackCount() <= static_cast<std::size_t>(track))
            song->AddTrack(kNoChannel, kNoProgram, kNoBank);
        auto note = std::make_unique<MidiMsgNote>(channel, key, velocity, length, program);
        note->track = static_cast<std::uint16_t>(track);
        song->AddMsg(tick, std::move(note));
    };
    const int roots[] = {48, 45, 41, 43};
    int melody = 72;
    for (int b = 0; b < 300; ++b) {
        const int t = b * bar;
        const int root = roots[b % 4];
        for (int k : {0, 4, 7})
            add(2, t, 2, root + 12 + k, 60, bar - 10, 48);
        for (int half = 0; half < 2; ++half)
            for (int k : {0, 4, 7})
                add(0, t + half * 2 * q, 0, root + 24 + k, 80, q, 0);
        for (int e = 0; e < 8; ++e) {
            add(1, t + e * q / 2, 1, root - 12 + (e % 4 == 3 ? 7 : 0), 90, q / 2 - 20, 33);
            add(4, t + e * q / 2, 9, 42, 70, 40, 0);
            if (random() % 4 != 0) {
                melody = std::clamp(melody + static_cast<int>(random() % 5) - 2, 65, 86);
                add(3, t + e * q / 2, 3, melody, 85, q / 2, 73);
            }
        }
        for (int beat = 0; beat < 4; ++beat)
            add(4, t + beat * q, 9, beat % 2 ? 38 : 36, 100, 60, 0);
    }
    return song;
}

std::vector<double> Onsets(const std::filesystem::path& wav) {
    std::vector<double> onsets;
    // A hop of 64 frames (1.5 ms) so that the detector's own grid stays well below 5 ms.
    const std::string command = "aubioonset -B 512 -H 64 -i '" + wav.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return onsets;
    double t = 0;
    while (std::fscanf(pipe, "%lf", &t) == 1)
        onsets.push_back(t);
    pclose(pipe);
    return onsets;
}

// Pairs each onset of ours with the nearest of theirs.
void CompareOnsets(const std::vector<double>& ours, const std::vector<double>& theirs) {
    if (ours.empty() || theirs.empty()) {
        std::printf("  onsets: none found (is aubio-tools installed?)\n");
        return;
    }
    std::vector<double> gaps, signedGaps;
    for (double t : ours) {
        const auto it = std::lower_bound(theirs.begin(), theirs.end(), t);
        double nearest = 1e9;
        if (it != theirs.end())
            nearest = *it;
        if (it != theirs.begin() && std::fabs(*(it - 1) - t) < std::fabs(nearest - t))
            nearest = *(it - 1);
        gaps.push_back(std::fabs(nearest - t) * 1000.0);
        signedGaps.push_back((t - nearest) * 1000.0);
    }
    std::sort(gaps.begin(), gaps.end());
    std::sort(signedGaps.begin(), signedGaps.end());
    const auto within = std::count_if(gaps.begin(), gaps.end(), [](double g) { return g <= 5.0; });
    std::printf("  onsets: ours %zu, fluidsynth %zu; %ld of ours (%.1f%%) within 5 ms of one "
                "of theirs; gap median %.2f ms, 99th percentile %.2f ms, worst %.2f ms\n",
                ours.size(), theirs.size(), static_cast<long>(within),
                100.0 * static_cast<double>(within) / static_cast<double>(ours.size()),
                gaps[gaps.size() / 2], gaps[(gaps.size() - 1) * 99 / 100], gaps.back());
    std::printf("  median of (ours - theirs): %.2f ms\n", signedGaps[signedGaps.size() / 2]);
}

bool RenderBoth(const std::filesystem::path& mid, const std::filesystem::path& dir,
                const std::string& name) {
    const std::filesystem::path soundFont = FindSoundFont(nullptr);
    const std::filesystem::path ours = dir / (name + "-vorlaune.wav");
    const std::filesystem::path theirs = dir / (name + "-fluidsynth.wav");

    // Ours: read the file, load the SoundFont, render; as `vorlaune -o` does.
    Clock::time_point start = Clock::now();
    {
        ConsolePlayer player(ours);
        std::unique_ptr<Song> song;
        if (!MidiReader::LoadSong(mid, song)) {
            std::printf("%s: cannot read %s\n", name.c_str(), mid.c_str());
            return false;
        }
        AString error, notes;
        if (!player.Render(*song, error, notes)) {
            std::printf("%s: %s\n", name.c_str(), error.c_str());
            return false;
        }
    }
    const double oursSeconds = Since(start);
    start = Clock::now();
    const std::string command = "fluidsynth -ni -F '" + theirs.string() + "' '" +
                                soundFont.string() + "' '" + mid.string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        std::printf("%s: fluidsynth failed (is it installed?)\n", name.c_str());
        return false;
    }
    const double theirSeconds = Since(start);
    const double length =
        static_cast<double>(std::filesystem::file_size(ours) - 44) / 4.0 / 44100.0;
    std::printf("%s (%.1f s of music, %s):\n  render: vorlaune %.2f s, fluidsynth %.2f s, "
                "time ratio %.2f (below 1 is faster than fluidsynth)\n",
                name.c_str(), length, soundFont.filename().c_str(), oursSeconds, theirSeconds,
                oursSeconds / theirSeconds);
    CompareOnsets(Onsets(ours), Onsets(theirs));
    return true;
}

int RenderFigures() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vorlaune-bench";
    std::filesystem::create_directories(dir);
    bool ok = true;
    const std::filesystem::path corpus =
        std::filesystem::path(VORLAUNE_CORPUS_DIR) / "midi-edge" / "test-all-gm-sounds.mid";
    if (std::filesystem::exists(corpus))
        ok &= RenderBoth(corpus, dir, "corpus-all-gm-sounds");
    else
        std::printf("corpus song %s not found; skipped\n", corpus.c_str());
    const std::filesystem::path generated = dir / "ten-minutes.mid";
    auto song = TenMinuteSong();
    if (!MidiWriter::SaveSong(*song, generated)) {
        std::printf("cannot write %s\n", generated.c_str());
        return 1;
    }
    ok &= RenderBoth(generated, dir, "generated-ten-minutes");
    std::printf("  (files in %s)\n", dir.c_str());
    return ok ? 0 : 1;
}

// --- the timing thread --------------------------------------------------------------------

class NullPlayer : public StreamPlayer {
public:
    ~NullPlayer() override { Halt(); }
    NullSink sink{1 << 15};

protected:
    std::unique_ptr<PlayOutput> CreateOutput(AString&) override {
        return std::make_unique<PacedOutput>(sink);
    }
};

// 1,000 five-note chords, 25 ms apart, each ending as the next starts: 10,000 events.
std::unique_ptr<Song> ChordSong() {
    auto song = std::make_unique<Song>();
    song->SetTicksPerQuarter(480);
    song->SetTempo(0, 600000); // 1 tick = 1.25 ms
    for (int i = 0; i < 1000; ++i)
        for (int k = 0; k < 5; ++k)
            song->AddMsg(i * 20, std::make_unique<MidiMsgNote>(k, 48 + (i + 7 * k) % 40, 90, 20));
    return song;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[i];
}

int LatenessFigures() {
    auto song = ChordSong();
    auto owned = std::make_unique<NullPlayer>();
    NullPlayer& player = *owned;
    VorlauneGuts guts(std::move(owned));
    PostQueue posts;
    player.SetAddCallbackMsg(&posts, kPlayerWantsData);
    player.SetStopMusicCallbackMsg(&posts, kPlayerStopped);
    player.SetErrorCallbackMsg(&posts, kPlayerError);
    const auto started = std::chrono::steady_clock::now();
    guts.PlayAll(song.get(), nullptr);
    PostQueue::Posted posted;
    for (;;) {
        if (!posts.Wait(posted, std::chrono::seconds(5)))
            continue;
        guts.HandlePlayerMessage(posted.message);
        if (posted.message == kPlayerStopped)
            break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::vector<double> late;
    for (const NullSink::Sent& sent : player.sink.SentItems())
        late.push_back(static_cast<double>(sent.at - sent.due) / 1000.0);
    if (late.empty()) {
        std::puts("timing thread: nothing was played");
        return 1;
    }
    std::printf("timing thread lateness over %zu events in %.1f s (null sink):\n", late.size(),
                seconds);
    std::printf("  median %.1f us, 99th percentile %.1f us, worst %.1f us\n", Percentile(late, 0.5),
                Percentile(late, 0.99), *std::max_element(late.begin(), late.end()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto wants = [&](const char* what) {
        return args.empty() || std::find(args.begin(), args.end(), what) != args.end();
    };
    int result = 0;
    if (wants("--render"))
        result |= RenderFigures();
    if (wants("--lateness"))
        result |= LatenessFigures();
    return result;
}
