// The executable: the main window, or one job done from the command line.
#include <QGuiApplication>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "devices/StartupFileCheck.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "playback/ConsolePlayer.h"
#include "playback/MidiPorts.h"
#include "playback/PlayerEngine.h"
#include "record/WaveToSong.h"
#include "util/INIFile.h"
#include "util/Messages.h"
#include "util/SettingsReport.h"
#include "views/StaffPrinter.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffFonts.h"

namespace {

bool IsMidiFile(const std::string& ext) {
    return ext == "mid" || ext == "midi" || ext == "rmi";
}

// Loads a song as the program opens one; on failure the reader's message is shown.
std::unique_ptr<Song> LoadOrComplain(const std::string& file) {
    std::unique_ptr<Song> song;
    if (const FileResult loaded = MidiReader::LoadSong(file, song); !loaded) {
        std::fprintf(stderr, "%s\n", loaded.Explain(MidiReader::kReadErrorText).c_str());
        return nullptr;
    }
    return song;
}

int Dump(const CommandLine& line) {
    std::unique_ptr<Song> song = LoadOrComplain(line.input);
    if (!song)
        return 1;
    return DumpSong(*song, stdout) ? 0 : 1;
}

int SaveMidi(const CommandLine& line) {
    std::unique_ptr<Song> song = LoadOrComplain(line.input);
    if (!song)
        return 1;
    if (const FileResult saved = MidiWriter::SaveSong(*song, line.output); !saved) {
        std::fprintf(stderr, "%s\n",
                     saved.Explain("An Error Occurred\nSaving " + line.output + ".").c_str());
        return 1;
    }
    return 0;
}

// A conversion's progress bar, redrawn in place on standard error each time it grows.
struct ProgressBar {
    bool drawn = false;
    int filled = -1;
    static void Draw(void* self, int percent) {
        ProgressBar& me = *static_cast<ProgressBar*>(self);
        if (percent / 5 == me.filled)
            return;
        me.drawn = true;
        me.filled = percent / 5;
        const std::string bar(static_cast<std::size_t>(me.filled), '#');
        std::fprintf(stderr, "\rConverting [%-20s] %3d%%", bar.c_str(), percent);
        std::fflush(stderr);
    }
    void End() {
        if (drawn)
            std::fputc('\n', stderr);
        drawn = false;
    }
};

// A recording turned into notes on a new song's first track.
int SaveWaveAsMidi(const CommandLine& line) {
    Song song;
    Message failure;
    ProgressBar progress;
    const bool converted = ConvertWaveToSong(line.input, INIFile::Global(), song, ProgressBar::Draw,
                                             &progress, failure);
    progress.End();
    if (!converted) {
        ShowMessage(failure);
        return 1;
    }
    if (const FileResult saved = MidiWriter::SaveSong(song, line.output); !saved) {
        std::fprintf(stderr, "%s\n",
                     saved.Explain("An Error Occurred\nSaving " + line.output + ".").c_str());
        return 1;
    }
    return 0;
}

// The staff printout as PDF or PNG, without a window.
int PrintStaff(const CommandLine& line, const ProgramEnvironment& environment) {
    std::unique_ptr<Song> song = LoadOrComplain(line.input);
    if (!song)
        return 1;
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    if (!ChoosePrintTracks(*song, line.track, filter, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Drawing needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vorlaune";
    static char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    if (!LoadStaffFonts(environment.Resources())) {
        std::fprintf(stderr, "%s\n", kStaffFontsMissing);
        return 1;
    }
    bool written = false;
    if (FileExtension(line.output) == "pdf") {
        int pages = 0;
        written = StaffExport::WritePdf(*song, filter, options, line.output, pages, error);
    } else {
        std::vector<std::filesystem::path> files;
        written =
            StaffExport::WritePng(*song, filter, options, line.output, line.allPages, files, error);
    }
    if (!written) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Renders the song, audio cues included, through the built-in synthesizer.
int RenderWav(const CommandLine& line) {
    ConsolePlayer player(line.output); // first: the song's cues register with it as it loads
    std::unique_ptr<Song> song = LoadOrComplain(line.input);
    if (!song)
        return 1;
    AString error, notes;
    const bool rendered = player.Render(*song, error, notes);
    if (!notes.IsEmpty())
        std::fprintf(stderr, "%s\n", notes.c_str());
    if (!rendered) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int) {
    gInterrupted = true;
}

// Plays the song in real time on the built-in synthesizer or a MIDI port, showing where
// it is, until it ends or Ctrl+C stops it.
int Play(const CommandLine& line) {
    ConsolePlayer player;
    if (!line.port.empty()) {
        std::string why;
        const std::vector<std::string> ports = ListOutputPorts(&why);
        const int index = FindOutputPort(ports, line.port);
        if (index < 0) {
            std::fprintf(stderr, "There is no MIDI output port named \"%s\"%s\n", line.port.c_str(),
                         why.empty() ? "." : (" (" + why + ").").c_str());
            return 1;
        }
        player.Engine().SetOutputDevice(index);
    }
    std::unique_ptr<Song> song = LoadOrComplain(line.input);
    if (!song)
        return 1;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, nullptr);
    const bool terminal = isatty(fileno(stdout)) != 0;
    AString shown;
    const auto showPosition = [&](std::int32_t tick) {
        AString text = FormatMusicalTime(song->TickToMusicalTime(tick));
        if (!terminal) // one line a beat is plenty in a log
            text = text.Mid(0, static_cast<std::size_t>(text.Find(":", text.Find(":") + 1)));
        if (text == shown)
            return;
        shown = text;
        std::printf(terminal ? "\r%s   " : "%s\n", text.c_str());
        std::fflush(stdout);
    };
    AString error;
    const bool played = player.Play(*song, gInterrupted, showPosition, error);
    if (terminal && !shown.IsEmpty())
        std::printf("\n");
    if (!played && !error.IsEmpty())
        std::fprintf(stderr, "%s\n", error.c_str());
    return played ? 0 : 1;
}

int ListPorts() {
    std::string why;
    const std::vector<std::string> ports = ListOutputPorts(&why);
    if (ports.empty()) {
        std::printf("No MIDI output ports%s\n", why.empty() ? "." : (": " + why).c_str());
        return 0;
    }
    for (std::size_t i = 0; i < ports.size(); ++i)
        std::printf("%zu  %s\n", i, ports[i].c_str());
    return 0;
}

int Convert(const CommandLine& line, const ProgramEnvironment& environment) {
    const std::string from = FileExtension(line.input);
    const std::string to = FileExtension(line.output);
    if (IsMidiFile(from) && IsMidiFile(to))
        return SaveMidi(line);
    if (from == "wav" && IsMidiFile(to))
        return SaveWaveAsMidi(line);
    if (IsMidiFile(from) && to == "wav")
        return RenderWav(line);
    if (IsMidiFile(from) && (to == "pdf" || to == "png"))
        return PrintStaff(line, environment);
    std::fprintf(stderr, "Cannot convert .%s to .%s: this kind of conversion is not available.\n",
                 from.c_str(), to.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), line, error)) {
        std::fprintf(stderr, "%s\n\n%s", error.c_str(), kUsageText);
        return 2;
    }
    ProgramEnvironment environment;
    const bool needsEnvironment =
        line.mode != CommandLine::Mode::Help && line.mode != CommandLine::Mode::Version;
    if (needsEnvironment && !environment.Start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (needsEnvironment) {
        StartupFileCheck::Run(environment.Settings());
        std::fputs(SettingsReport::Global().Text().c_str(), stderr);
    }
    switch (line.mode) {
    case CommandLine::Mode::Help:
        std::fputs(kUsageText, stdout);
        return 0;
    case CommandLine::Mode::Version:
        std::printf("vorlaune %s\n", VORLAUNE_VERSION);
        return 0;
    case CommandLine::Mode::Convert:
        return Convert(line, environment);
    case CommandLine::Mode::Dump:
        return Dump(line);
    case CommandLine::Mode::Play:
        return Play(line);
    case CommandLine::Mode::ListPorts:
        return ListPorts();
    case CommandLine::Mode::Window:
        break;
    }
    std::fputs("This part of the program is not available yet.\n\n", stderr);
    std::fputs(kUsageText, stderr);
    return 2;
}
