#pragma once

#include <QApplication>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/Startup.h"

class Song;
class TMDIDialog;
class TVorlaune;

// The program's windows for the benchmarks that time repaints: a desktop-sized offscreen
// screen (views as wide as on a real one), no sound, the music fonts, and a song window
// opened on a song made in memory.
class BenchWindow {
public:
    // Times of repaints in milliseconds, printed as median and worst.
    struct Frames {
        std::vector<double> ms;
        void Print(const char* what);
    };

    BenchWindow(int& argc, char** argv);
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // False, with the reason printed, when the program cannot start.
    bool Start();
    TVorlaune& App() { return *app_; }
    // Replaces the first song window by one on `song`, through the same path as Open
    // Song, and waits until it shows at least `views` views.
    TMDIDialog& Open(std::unique_ptr<Song> song, std::size_t views);

private:
    std::filesystem::path screen_;
    QApplication application_;
    ProgramEnvironment environment_;
    std::unique_ptr<TVorlaune> app_;
};
