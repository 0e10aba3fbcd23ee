// Staff notation costs on a dense piano piece: laying out and drawing one screen of
// measures as the Staff view paints it (1920 pixels wide at scale 0.1), and paginating
// and painting the whole printout to PDF.
//
//   bench_staff [--write-midi FILE] [--measures N] [benchmark flags]
//
// --write-midi saves the piece as a MIDI file (for timing other programs on the same
// notes) and exits; bench/staff/run does that and compares with a peer.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/ViewFilter.h"
#include "views/StaffArranger.h"
#include "views/StaffDrawer.h"
#include "views/StaffPrinter.h"
#include "views/qt/QtDrawSurface.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffFonts.h"

namespace {

int gMeasures = 80; // ten printed pages

void AddNote(Song& song, int track, std::int32_t tick, int key, std::int32_t duration,
             int velocity) {
    auto note = std::make_unique<MidiMsgNote>(0, static_cast<std::uint8_t>(key),
                                              static_cast<std::uint8_t>(velocity), duration, 0);
    note->track = static_cast<std::uint16_t>(track);
    song.AddMsg(tick, std::move(note));
}

// Right hand in sixteenths over changing harmonies, some chromatic; left hand in eighths
// and chords; the pedal changes each bar. Deterministic.
std::unique_ptr<Song> DensePianoPiece(int measures) {
    auto song = std::make_unique<Song>();
    song->AddTrack(0, 0, -1);
    song->AddTrack(0, 0, -1);
    song->title.Set("Dense piano piece");
    song->SetKeySignature(0, -2, 0);
    song->SetTimeSignature(measures / 2, 3, 4);
    std::mt19937 random(42);
    static const int kRoots[8] = {58, 63, 65, 58, 55, 60, 65, 62};
    static const int kChord[4] = {0, 4, 7, 12};
    const int tpq = song->TicksPerQuarter();
    std::int32_t tick = 0;
    for (int m = 0; m < measures; ++m) {
        const int beats = m < measures / 2 ? 4 : 3;
        const int root = kRoots[m % 8];
        auto pedal = std::make_unique<MidiMsgControlChange>(0, 64, 127);
        pedal->track = 1;
        song->AddMsg(tick, std::move(pedal));
        for (int s = 0; s < beats * 4; ++s) {
            int key = root + 12 + kChord[(s + m) % 4] + (s % 4 == 3 ? 1 : 0);
            if (random() % 5 == 0)
                key += 2;
            AddNote(*song, 0, tick + s * tpq / 4, key, tpq / 4,
                    60 + static_cast<int>(random() % 40));
        }
        for (int b = 0; b < beats; ++b) {
            const std::int32_t at = tick + b * tpq;
            if (b % 2 == 0) {
                for (int k : {0, 7, 12})
                    AddNote(*song, 1, at, root - 24 + k, tpq, 70);
            } else {
                AddNote(*song, 1, at, root - 12, tpq / 2, 70);
                AddNote(*song, 1, at + tpq / 2, root - 5, tpq / 2, 70);
            }
        }
        auto release = std::make_unique<MidiMsgControlChange>(0, 64, 0);
        release->track = 1;
        song->AddMsg(tick + beats * tpq - 8, std::move(release));
        tick += beats * tpq;
    }
    return song;
}

Song& Piece() {
    static std::unique_ptr<Song> song = DensePianoPiece(gMeasures);
    return *song;
}

// One paint of the Staff view: arrange from the scroll position and draw measures into
// the off-screen image until the window's width is filled.
void BM_ArrangeAndDrawScreen(benchmark::State& state) {
    Song& song = Piece();
    QImage screen(1920, 250, QImage::Format_RGB32);
    StaffArranger arranger;
    ViewOptions options;
    arranger.Configure(options);
    std::unique_ptr<StaffDrawer> drawer;
    const std::int32_t scroll = song.MeasureToTick(gMeasures / 4) + song.TicksPerQuarter() / 2;
    int measuresDrawn = 0;
    for (auto _ : state) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        QtDrawSurface surface(painter);
        if (!drawer)
            drawer = std::make_unique<StaffDrawer>(surface, 0.1, 0.1);
        arranger.Start(song, nullptr, scroll);
        std::int32_t x = 0;
        measuresDrawn = 0;
        bool first = true;
        while (x < 1920 - 18) {
            std::unique_ptr<MeasureDrawInfo> measure = arranger.Finished()
                                                           ? arranger.ArrangeEmptyMeasure()
                                                           : arranger.ArrangeNextMeasure();
            StaffDrawRequest request;
            request.drawHeader = first;
            request.fromTick = first ? scroll - measure->startTick : 0;
            request.gridStep = song.TicksPerQuarter() / 4;
            StaffDrawResult result;
            drawer->DrawMeasure(surface, x, *measure, request, result);
            first = false;
            ++measuresDrawn;
        }
    }
    state.counters["measures"] = measuresDrawn;
}

// Layout alone for the same screen.
void BM_ArrangeScreen(benchmark::State& state) {
    Song& song = Piece();
    StaffArranger arranger;
    arranger.Configure(ViewOptions());
    const std::int32_t scroll = song.MeasureToTick(gMeasures / 4);
    for (auto _ : state) {
        arranger.Start(song, nullptr, scroll);
        for (int i = 0; i < 8; ++i)
            benchmark::DoNotOptimize(arranger.ArrangeNextMeasure());
    }
}

// The whole printout: pagination and every page painted into a PDF in memory.
void BM_PaginateAndPaintPdf(benchmark::State& state) {
    Song& song = Piece();
    int pages = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        StaffPrinter printer(song, ViewFilter(), ViewOptions());
        std::string error;
        pages = StaffExport::Paginate(printer, error);
        StaffExport::PaintPdf(printer, pages, song, buffer, error);
        benchmark::DoNotOptimize(buffer.size());
    }
    state.counters["pages"] = pages;
}

BENCHMARK(BM_ArrangeAndDrawScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrangeScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaginateAndPaintPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const char* writeMidi = nullptr;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--write-midi") == 0 && i + 1 < argc)
            writeMidi = argv[++i];
        else if (std::strcmp(argv[i], "--measures") == 0 && i + 1 < argc)
            gMeasures = std::max(4, std::atoi(argv[++i]));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (writeMidi) {
        if (!MidiWriter::SaveSong(Piece(), writeMidi)) {
            std::fprintf(stderr, "Cannot write %s\n", writeMidi);
            return 1;
        }
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VORLAUNE_FONTS", VORLAUNE_FONT_BUILD_DIR, 0);
    QGuiApplication application(argc, argv);
    if (!LoadStaffFonts(VORLAUNE_RESOURCE_DIR)) {
        std::fprintf(stderr, "%s\n", kStaffFontsMissing);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
