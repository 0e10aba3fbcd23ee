#include "BenchWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppCommands.h"
#include "app/SongDocument.h"
#include "app/qt/OffscreenScreen.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "model/Song.h"
#include "playback/PlayerEngine.h"
#include "views/qt/StaffFonts.h"

namespace {

// Before the application exists: the screen it is to use and the settings it reads.
std::filesystem::path PrepareScreen() {
    setenv("VORLAUNE_AUDIO_DRIVER", "none", 0);
    setenv("VORLAUNE_FONTS", VORLAUNE_FONT_BUILD_DIR, 0);
    setenv("VORLAUNE_RESOURCES", VORLAUNE_RESOURCE_DIR, 0);
    return UseOffscreenScreen(1920, 1080);
}

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

} // namespace

void BenchWindow::Frames::Print(const char* what) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-34s median %6.2f ms, worst %6.2f ms, over 16 ms: %zu of %zu\n", what,
                ms[ms.size() / 2], ms.back(),
                static_cast<std::size_t>(
                    std::count_if(ms.begin(), ms.end(), [](double v) { return v > 16.0; })),
                ms.size());
}

BenchWindow::BenchWindow(int& argc, char** argv)
    : screen_(PrepareScreen()), application_(argc, argv) {}

BenchWindow::~BenchWindow() {
    app_.reset();
    std::error_code ec;
    std::filesystem::remove(screen_, ec);
}

bool BenchWindow::Start() {
    std::string error;
    if (!environment_.Start(error) || !LoadStaffFonts(environment_.Resources())) {
        std::fprintf(stderr, "cannot start: %s\n", error.c_str());
        return false;
    }
    app_ = std::make_unique<TVorlaune>(environment_, std::make_unique<PlayerEngine>());
    app_->Start("");
    while (!app_->ActiveWindow())
        QApplication::processEvents();
    return true;
}

TMDIDialog& BenchWindow::Open(std::unique_ptr<Song> song, std::size_t views) {
    app_->Command(cmd::kCloseSong);
    while (app_->ActiveWindow())
        QApplication::processEvents();
    app_->OpenDocument(std::make_unique<SongDocument>(std::move(song)));
    while (!app_->ActiveWindow() || app_->ActiveWindow()->Views().size() < views)
        QApplication::processEvents();
    Settle();
    return *app_->ActiveWindow();
}
