// How long a song window takes to repaint while it scrolls: four staff views over a
// generated song of 100,000 notes, 200 steps of one beat each (and 200 of a bar), every
// step painted at once. Prints the median and the worst frame.
//
//   bench_windows [--notes N] [--steps N]
#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "app/AppCommands.h"
#include "app/SongDocument.h"
#include "app/Startup.h"
#include "app/qt/OffscreenScreen.h"
#include "app/qt/TFrameWin.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "model/Song.h"
#include "playback/PlayerEngine.h"
#include "views/qt/StaffFonts.h"
#include "views/qt/StaffView.h"
#include "views/qt/SubWindow.h"

namespace {

// Four tracks of running eighths and chords, 4/4 at 384 a quarter. Deterministic.
std::unique_ptr<Song> BigSong(int notes) {
    auto song = std::make_unique<Song>();
    for (int t = 0; t < 4; ++t)
        song->AddTrack(static_cast<std::uint8_t>(t), 0, -1);
    std::mt19937 random(7);
    const int tpq = song->TicksPerQuarter();
    int added = 0;
    for (std::int32_t tick = 0; added < notes; tick += tpq / 2) {
        for (int t = 0; t < 4 && added < notes; ++t) {
            const int chord = t == 3 ? 3 : 1;
            for (int c = 0; c < chord && added < notes; ++c, ++added) {
                const int key = 40 + 12 * t + static_cast<int>(random() % 12) + 4 * c;
                auto note = std::make_unique<MidiMsgNote>(
                    static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(key), 80, tpq / 2);
                note->track = static_cast<std::uint16_t>(t);
                song->AddMsg(tick, std::move(note));
            }
        }
    }
    return song;
}

struct Frames {
    std::vector<double> ms;
    void Print(const char* what) {
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("  %-30s median %6.2f ms, worst %6.2f ms, over 16 ms: %zu of %zu\n", what,
                    median, ms.back(),
                    static_cast<std::size_t>(
                        std::count_if(ms.begin(), ms.end(), [](double v) { return v > 16.0; })),
                    ms.size());
    }
};

} // namespace

int main(int argc, char** argv) {
    int notes = 100000, steps = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--notes"))
            notes = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--steps"))
            steps = std::atoi(argv[++i]);
    }
    // A desktop-sized screen: the views are as wide as on a real one.
    const std::filesystem::path screen = UseOffscreenScreen(1920, 1080);
    setenv("VORLAUNE_AUDIO_DRIVER", "none", 0);
    setenv("VORLAUNE_FONTS", VORLAUNE_FONT_BUILD_DIR, 0);
    setenv("VORLAUNE_RESOURCES", VORLAUNE_RESOURCE_DIR, 0);
    QApplication application(argc, argv);
    ProgramEnvironment environment;
    std::string error;
    if (!environment.Start(error) || !LoadStaffFonts(environment.Resources())) {
        std::fprintf(stderr, "cannot start: %s\n", error.c_str());
        return 1;
    }
    TVorlaune app(environment, std::make_unique<PlayerEngine>());
    app.Start("");
    while (!app.ActiveWindow())
        QApplication::processEvents();

    const auto built = std::chrono::steady_clock::now();
    std::unique_ptr<Song> song = BigSong(notes);
    std::printf(
        "Song window with 4 staff views, %d notes (%zu time points, made in %.0f ms), "
        "window %dx%d:\n",
        notes, song->PointCount(),
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - built).count(),
        app.Frame()->width(), app.Frame()->height());
    app.Command(cmd::kCloseSong);
    while (app.ActiveWindow())
        QApplication::processEvents();
    // Through the same path as Open Song, without a file.
    app.OpenDocument(std::make_unique<SongDocument>(std::move(song)));
    while (!app.ActiveWindow() || app.ActiveWindow()->Views().size() < 4)
        QApplication::processEvents();
    TMDIDialog& window = *app.ActiveWindow();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();

    auto paintAll = [&] {
        const auto start = std::chrono::steady_clock::now();
        for (SubWindow* view : window.Views())
            view->repaint();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    Frames beats, bars, far;
    for (int i = 0; i < steps; ++i) {
        window.ScrollLineRight();
        beats.ms.push_back(paintAll());
    }
    for (int i = 0; i < steps; ++i) {
        window.ScrollPageRight();
        bars.ms.push_back(paintAll());
    }
    // Jumps across the whole song, as the scroll bar's thumb does.
    const std::int32_t end = window.Document().GetSong().LastTick();
    for (int i = 0; i < steps; ++i) {
        window.ScrollTo(static_cast<std::int32_t>(static_cast<std::int64_t>(end) * i / steps));
        far.ms.push_back(paintAll());
    }
    beats.Print("scroll by a beat");
    bars.Print("scroll by a bar");
    far.Print("jumps across the song");

    // A note dragged up four octaves (28 staff steps of 4 pixels) and down again in the
    // first view: every mouse move repaints the view with the dragged head under the
    // pointer; the drag ends back where it began, so the song is unchanged.
    window.ScrollTo(0);
    auto* staff = dynamic_cast<StaffView*>(window.Views().front());
    staff->repaint();
    Frames drag;
    if (staff && !staff->Screen().NoteSpots().empty()) {
        const NoteSpot& spot = staff->Screen().NoteSpots().front();
        const QPoint head((spot.rect.left + spot.rect.right) / 2,
                          staff->StaffTop() + (spot.rect.top + spot.rect.bottom) / 2);
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons held) {
            QMouseEvent event(type, at, staff->mapToGlobal(at), button, held, Qt::NoModifier);
            QApplication::sendEvent(staff, &event);
        };
        send(QEvent::MouseButtonPress, head, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 2 * 112; ++step) {
            const int dy = step <= 112 ? -step : step - 224;
            const auto start = std::chrono::steady_clock::now();
            send(QEvent::MouseMove, head + QPoint(0, dy), Qt::NoButton, Qt::LeftButton);
            staff->repaint();
            drag.ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        send(QEvent::MouseButtonRelease, head, Qt::LeftButton, Qt::NoButton);
        drag.Print("drag a note over 4 octaves");
    }
    std::error_code ec;
    std::filesystem::remove(screen, ec);
    return 0;
}
