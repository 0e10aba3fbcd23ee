// How long the piano roll takes to repaint while the song window scrolls: one view over
// a generated one-track song of 100,000 notes, 200 steps of a beat, 200 of a bar and 200
// jumps across the song, every step painted at once; then the same with the controller
// graph shown under it over 50,000 controller messages, the graph's own repaint timed
// apart. Prints the median and the worst frame.
//
//   bench_roll [--notes N] [--controllers N] [--steps N]
#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "app/SongDocument.h"
#include "app/qt/TMDIDialog.h"
#include "model/Song.h"
#include "views/qt/ControllerBand.h"
#include "views/qt/PianoRollView.h"

namespace {

// Runs of notes over the whole keyboard, one to four at a time, sixteenths to half notes;
// volume moves every 96 ticks. Deterministic.
std::unique_ptr<Song> BigSong(int notes, int controllers) {
    auto song = std::make_unique<Song>();
    song->AddTrack(0, 0, -1);
    std::mt19937 random(11);
    const int tpq = song->TicksPerQuarter();
    int added = 0;
    for (std::int32_t tick = 0; added < notes; tick += tpq / 4) {
        const int together = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < together && added < notes; ++c, ++added) {
            const int key = 21 + static_cast<int>(random() % 88);
            const int length = tpq / 4 * (1 + static_cast<int>(random() % 8));
            auto note =
                std::make_unique<MidiMsgNote>(0, static_cast<std::uint8_t>(key),
                                              static_cast<std::uint8_t>(random() % 128), length);
            song->AddMsg(tick, std::move(note));
        }
    }
    for (int i = 0; i < controllers; ++i) {
        const auto value = static_cast<std::uint16_t>(random() % 16384);
        song->AddMsg(i * 96, std::make_unique<MidiMsgControlChange>(0, 7, value));
    }
    return song;
}

// Wall time, and the time this thread spent on the processor: on a busy machine the
// second shows what a repaint costs when it is not kept waiting.
struct Timing {
    BenchWindow::Frames wall, cpu;
    void Time(const std::function<void()>& paint) {
        timespec cpuStart{}, cpuEnd{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
        const auto start = std::chrono::steady_clock::now();
        paint();
        wall.ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
        cpu.ms.push_back((cpuEnd.tv_sec - cpuStart.tv_sec) * 1e3 +
                         (cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e6);
    }
    void Print(const std::string& what) {
        wall.Print(what.c_str());
        cpu.Print((what + ", processor").c_str());
    }
};

class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Beats, bars and jumps across the song, each step painted by `paint`.
void Scroll(TMDIDialog& window, int steps, const std::function<void()>& paint, const char* what) {
    Timing beats, bars, far;
    window.ScrollTo(0);
    for (int i = 0; i < steps; ++i) {
        window.ScrollLineRight();
        beats.Time(paint);
    }
    for (int i = 0; i < steps; ++i) {
        window.ScrollPageRight();
        bars.Time(paint);
    }
    const std::int32_t end = window.Document().GetSong().LastTick();
    for (int i = 0; i < steps; ++i) {
        window.ScrollTo(static_cast<std::int32_t>(static_cast<std::int64_t>(end) * i / steps));
        far.Time(paint);
    }
    std::printf("%s\n", what);
    beats.Print("scroll by a beat");
    bars.Print("scroll by a bar");
    far.Print("jumps across the song");
}

} // namespace

int main(int argc, char** argv) {
    int notes = 100000, controllers = 50000, steps = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--notes"))
            notes = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--controllers"))
            controllers = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--steps"))
            steps = std::atoi(argv[++i]);
    }
    BenchWindow bench(argc, argv);
    if (!bench.Start())
        return 1;
    std::unique_ptr<Song> song = BigSong(notes, controllers);
    const std::size_t points = song->PointCount();
    TMDIDialog& window = bench.Open(std::move(song), 1);
    window.ChangeViewKind(window.Views().front(), SubWindow::kPianoRoll);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    auto* roll = dynamic_cast<PianoRollView*>(window.Views().front());
    if (!roll) {
        std::fprintf(stderr, "the view did not become a piano roll\n");
        return 1;
    }
    std::printf("Piano roll of %d notes and %d volume changes (%zu time points), view %dx%d:\n",
                notes, controllers, points, roll->width(), roll->height());
    Scroll(
        window, steps, [roll] { roll->repaint(); }, "piano roll");

    window.SetOption(TMDIDialog::kShowControllerGraph, true);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    ControllerBand* graph = roll->Graph();
    if (!graph) {
        std::fprintf(stderr, "the controller graph did not show\n");
        return 1;
    }
    graph->Graph().SetController(7);
    Scroll(
        window, steps, [graph] { graph->repaint(); }, "controller graph alone");
    // The view's repaint paints the graph with it: counted, to be sure it is timed.
    PaintCounter graphPaints;
    graph->installEventFilter(&graphPaints);
    Scroll(
        window, steps, [roll] { roll->repaint(); }, "piano roll with the graph");
    std::printf("  (the graph was painted with the view %d times)\n", graphPaints.count);
    return 0;
}
