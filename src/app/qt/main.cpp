// The executable: the main window, or one job done from the command line.
#include <QApplication>
#include <QGuiApplication>
#include <QTimer>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CrashLog.h"
#include "app/ScriptParser.h"
#include "app/SongDocument.h"
#include "app/Startup.h"
#include "app/qt/AppIcon.h"
#include "app/qt/OffscreenScreen.h"
#include "app/qt/QtMessageSink.h"
#include "app/qt/ScriptDriver.h"
#include "app/qt/TFrameWin.h"
#include "app/qt/TVorlaune.h"
#include "devices/StartupFileCheck.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "playback/ConsolePlayer.h"
#include "playback/MidiPorts.h"
#include "playback/PlayerEngine.h"
#include "playback/VorlauneGuts.h"
#include "record/WaveToSong.h"
#include "util/INIFile.h"
#include "util/Messages.h"
#include "util/SettingsReport.h"
#include "views/PianoRollPrinter.h"
#include "views/StaffPrinter.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffFonts.h"

namespace {

bool IsMidiFile(const std::string& ext) {
    return ext == "mid" || ext == "midi" || ext == "rmi";
}

// Opens a song as the program opens one; on failure the reader's message is shown, with
// the file and the reason.
std::unique_ptr<SongDocument> OpenOrComplain(const std::string& file) {
    FileResult loaded;
    std::unique_ptr<SongDocument> document = SongDocument::Open(file, &loaded);
    if (!document)
        ShowMessage(MidiReader::kReadErrorTitle, loaded.Explain(MidiReader::kReadErrorText),
                    MessageIcon::Exclamation);
    return document;
}

void ComplainSaving(const std::string& file, const FileResult& saved) {
    ShowMessage("Write Error:", saved.Explain("An Error Occurred\nSaving " + file + "."),
                MessageIcon::Exclamation);
}

void Complain(const std::string& text) {
    ShowMessage(kAppTitle, text, MessageIcon::Exclamation);
}

int Dump(const CommandLine& line) {
    std::unique_ptr<SongDocument> document = OpenOrComplain(line.input);
    if (!document)
        return 1;
    return DumpSong(document->GetSong(), stdout) ? 0 : 1;
}

int SaveMidi(const CommandLine& line) {
    std::unique_ptr<SongDocument> document = OpenOrComplain(line.input);
    if (!document)
        return 1;
    if (const FileResult saved = document->SaveAs(line.output); !saved) {
        ComplainSaving(line.output, saved);
        return 1;
    }
    return 0;
}

// A conversion's progress bar, redrawn in place on standard error each time it grows.
struct ProgressBar {
    bool drawn = false;
    int filled = -1;
    void Draw(int percent) {
        if (percent / 5 == filled)
            return;
        drawn = true;
        filled = percent / 5;
        const std::string bar(static_cast<std::size_t>(filled), '#');
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
    SongDocument document;
    Message failure;
    ProgressBar progress;
    const bool converted = ConvertWaveToSong(
        line.input, INIFile::Global(), document.GetSong(),
        [&](int percent) { progress.Draw(percent); }, failure);
    progress.End();
    if (!converted) {
        ShowMessage(failure);
        return 1;
    }
    if (const FileResult saved = document.SaveAs(line.output); !saved) {
        ComplainSaving(line.output, saved);
        return 1;
    }
    return 0;
}

// The staff or piano roll printout as PDF or PNG, without a window.
int PrintStaff(const CommandLine& line, const ProgramEnvironment& environment) {
    std::unique_ptr<SongDocument> document = OpenOrComplain(line.input);
    if (!document)
        return 1;
    Song* song = &document->GetSong();
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    if (!ChoosePrintTracks(*song, line.track, filter, options, error)) {
        Complain(error);
        return 1;
    }
    // Drawing needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vorlaune";
    static char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    if (!LoadStaffFonts(environment.Resources())) {
        ShowMessage(kAppTitle, kStaffFontsMissing, MessageIcon::Stop);
        return 1;
    }
    std::unique_ptr<PagePainter> printer;
    if (line.pianoRoll)
        printer = std::make_unique<PianoRollPrinter>(*song, filter, options);
    else
        printer = std::make_unique<StaffPrinter>(*song, filter, options);
    bool written = false;
    if (FileExtension(line.output) == "pdf") {
        int pages = 0;
        written = StaffExport::WritePdf(*printer, *song, line.output, pages, error);
    } else {
        std::vector<std::filesystem::path> files;
        written = StaffExport::WritePng(*printer, line.output, line.allPages, files, error);
    }
    if (!written) {
        Complain(error);
        return 1;
    }
    return 0;
}

// Renders the song, audio cues included, through the built-in synthesizer.
int RenderWav(const CommandLine& line) {
    std::unique_ptr<SongDocument> document = OpenOrComplain(line.input);
    if (!document)
        return 1;
    ConsolePlayer player(line.output);
    document->AttachCues(&player.Guts());
    AString error, notes;
    const bool rendered = player.Render(document->GetSong(), error, notes);
    document->AttachCues(nullptr);
    if (!notes.IsEmpty())
        ShowMessage(kAppTitle, notes, MessageIcon::Information);
    if (!rendered) {
        Complain(error.str());
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
            Complain("There is no MIDI output port named \"" + line.port + "\"" +
                     (why.empty() ? "." : " (" + why + ")."));
            return 1;
        }
        player.Engine().SetOutputDevice(index);
    }
    std::unique_ptr<SongDocument> document = OpenOrComplain(line.input);
    if (!document)
        return 1;
    document->AttachCues(&player.Guts());
    Song* song = &document->GetSong();
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
    document->AttachCues(nullptr);
    if (!played && !error.IsEmpty())
        Complain(error.str());
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

// The windows, for a person or for a script.
int RunWindows(const CommandLine& line, ProgramEnvironment& environment, int argc, char** argv) {
    std::vector<ScriptStatement> statements;
    std::filesystem::path offscreenConfig;
    if (!line.script.empty()) {
        std::ifstream in(line.script);
        if (!in) {
            Complain("Cannot read the script " + line.script + ".");
            return 2;
        }
        std::stringstream text;
        text << in.rdbuf();
        std::string error;
        if (!ParseScript(text.str(), statements, error)) {
            Complain(line.script + ": " + error);
            return 2;
        }
        // Scripts run anywhere: without a display, on Qt's offscreen platform, with a
        // screen the size of a desktop's so that screenshots show what a person sees.
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        if ((!display || !*display) && (!wayland || !*wayland) && (!platform || !*platform)) {
            offscreenConfig = UseOffscreenScreen(1600, 1000);
        }
    }
    QApplication application(argc, argv);
    // No display name: Qt would append it to every window title, and the main window's
    // title names the program already.
    QApplication::setApplicationName("Vorlaune");
    QApplication::setDesktopFileName(kDesktopId);
    QApplication::setWindowIcon(AppIcon(environment.Resources()));
    QtMessageSink boxes;
    MessageSink* previous = SetMessageSink(&boxes);
    int code = 0;
    {
        TVorlaune app(environment, std::make_unique<PlayerEngine>());
        std::unique_ptr<ScriptDriver> driver;
        if (!line.script.empty())
            driver = std::make_unique<ScriptDriver>(app, std::move(statements));
        app.Start(line.input);
        boxes.SetParent(app.Frame());
        if (driver)
            driver->Start();
        QObject::connect(&app, &TVorlaune::finished, &application,
                         [] { QTimer::singleShot(0, [] { QApplication::quit(); }); });
        code = application.exec();
        if (driver)
            code = std::max(code, driver->ExitCode());
    }
    SetMessageSink(previous);
    if (!offscreenConfig.empty()) {
        std::error_code ec;
        std::filesystem::remove(offscreenConfig, ec);
    }
    return code;
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
    Complain("Cannot convert ." + from + " to ." + to +
             ": this kind of conversion is not available.");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), line, error)) {
        Complain(error);
        std::fprintf(stderr, "\n%s", kUsageText);
        return 2;
    }
    ProgramEnvironment environment;
    const bool needsEnvironment =
        line.mode != CommandLine::Mode::Help && line.mode != CommandLine::Mode::Version;
    if (needsEnvironment && !environment.Start(error)) {
        ShowMessage(kAppTitle, error, MessageIcon::Stop);
        return 1;
    }
    if (needsEnvironment) {
        CrashLog::Install(environment.Home(), VORLAUNE_VERSION);
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
    return RunWindows(line, environment, argc, argv);
}
