// The program run from the command line on hostile inputs and outputs: every refusal
// names the file and the reason, nothing hangs, aborts or runs without end, and what
// was there before stays.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "midifile/MidiBytes.h"
#include "support/TempDir.h"
#include "util/AtomicFile.h"

extern char** environ;

using namespace midibytes;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitCode = -1;
    bool finished = false;
    std::string out, err;
};

class CommandLine : public ::testing::Test {
protected:
    // Runs the program with a home directory of its own; a run that takes longer than
    // `seconds` is stopped and counts as not finished.
    Outcome Vorlaune(std::vector<std::string> args, int seconds = 60,
                     const std::function<void(pid_t)>& whileRunning = {}) {
        std::vector<std::string> env = {"VORLAUNE_HOME=" + home.Path().string(),
                                        "QT_QPA_PLATFORM=offscreen",
                                        "XDG_RUNTIME_DIR=" + runtime.Path().string()};
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!entry.starts_with("VORLAUNE_HOME=") && !entry.starts_with("XDG_RUNTIME_DIR="))
                env.push_back(entry);
        }
        args.insert(args.begin(), VORLAUNE_EXE);
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const fs::path out = work / "stdout", err = work / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = 0;
        Outcome run;
        const int spawned =
            posix_spawn(&child, VORLAUNE_EXE, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return run;
        if (whileRunning)
            whileRunning(child);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                return run;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        run.finished = true;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = TempDir::Read(out);
        run.err = TempDir::Read(err);
        return run;
    }

    TempDir home, work, files, runtime;
};

// 37 bytes: one note 2^28 - 1 ticks out, at one tick a quarter.
std::string FarTickFile() {
    return Header(0, 1, 1) +
           TrackChunk(B({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100, 0x01, 0x80, 60, 0x00}) +
                      EndOfTrack());
}

// One note that lasts 2^28 ticks, at one tick a quarter.
std::string LongNoteFile() {
    return Header(0, 1, 1) +
           TrackChunk(B({0x00, 0x90, 60, 100, 0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 60, 0x00}) +
                      EndOfTrack());
}

const char kOpenProblem[] = "There was a problem opening this file.\n\n";

} // namespace

TEST_F(CommandLine, InputsThatAreNoRegularFilesAreRefusedAtOnce) {
    const fs::path folder = files / "folder.mid";
    fs::create_directory(folder);
    const fs::path pipe = files / "pipe.mid";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const fs::path missing = files / "missing.mid";
    const std::pair<fs::path, std::string> cases[] = {
        {folder, "Is a directory"},
        {pipe, "Not a regular file"},
        {missing, "No such file or directory"},
        {"/dev/zero", "Not a regular file"},
    };
    for (const auto& [input, reason] : cases) {
        std::vector<std::vector<std::string>> runs = {{"--dump", input.string()}};
        if (input.extension() == ".mid")
            runs.push_back({"-o", (work / "x.pdf").string(), input.string()});
        for (const auto& args : runs) {
            const Outcome run = Vorlaune(args, 30);
            ASSERT_TRUE(run.finished) << input;
            EXPECT_EQ(run.exitCode, 1) << input;
            EXPECT_EQ(run.err, kOpenProblem + input.string() + ": " + reason + "\n") << input;
        }
    }
    const Outcome notMidi = Vorlaune({"--dump", files.Write("text.mid", "hello").string()});
    EXPECT_EQ(notMidi.err, kOpenProblem + (files / "text.mid").string() +
                               ": Not a MIDI file the program can read: not a MIDI file (at "
                               "byte 4)\n");
}

TEST_F(CommandLine, AnEmptyOutputNameIsRefused) {
    const Outcome run = Vorlaune({"-o", "", files.Write("in.mid", FarTickFile()).string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.starts_with("-o needs a value.\n\nUsage: vorlaune")) << run.err;
}

TEST_F(CommandLine, ASaveOverAReadOnlyFileIsRefusedAndKeepsIt) {
    const fs::path in = files.Write("in.mid", FarTickFile());
    const fs::path out = files.Write("out.mid", "the user's work");
    ::chmod(out.c_str(), 0444);
    const Outcome run = Vorlaune({"-o", out.string(), in.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "An Error Occurred\nSaving " + out.string() + ".\n\n" + out.string() +
                           ": Permission denied\n");
    EXPECT_EQ(TempDir::Read(out), "the user's work");
    EXPECT_EQ(files.Names(), (std::vector<std::string>{"in.mid", "out.mid"}));
}

TEST_F(CommandLine, TinyFilesThatWouldPrintOrRenderWithoutEndAreRefused) {
    const fs::path far = files.Write("far.mid", FarTickFile());
    const fs::path longNote = files.Write("long.mid", LongNoteFile());
    for (const fs::path& in : {far, longNote}) {
        for (const char* out : {"out.pdf", "out.png"}) {
            const Outcome run = Vorlaune({"-o", (work / out).string(), in.string()}, 60);
            ASSERT_TRUE(run.finished) << in << " " << out;
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.err.starts_with("Cannot print this song:\n\nIt is ")) << run.err;
            EXPECT_TRUE(run.err.ends_with(
                " pages; the limit is 10000 pages (setting \"MaxPrintPages\").\n"))
                << run.err;
            EXPECT_FALSE(fs::exists(work / out));
        }
    }
    for (const fs::path& in : {far, longNote}) {
        const Outcome wav = Vorlaune({"-o", (work / "out.wav").string(), in.string()}, 60);
        ASSERT_TRUE(wav.finished);
        EXPECT_EQ(wav.exitCode, 1);
        // 2^28 quarters at 120 a minute.
        EXPECT_EQ(wav.err, "Cannot render this song:\n\nIt lasts 37282.7 hours; the limit is 24 "
                           "hours (setting \"MaxRenderHours\").\n");
    }
    EXPECT_EQ(work.Names(), (std::vector<std::string>{"stderr", "stdout"}));
}

TEST_F(CommandLine, NonsenseSettingsAreListedAtStartAndTheLimitsFollowThem) {
    home.Write("VORLAUNE.INI", "NumPlayEachTime=5\nMaxPrintPages=1\n");
    std::string events;
    for (int i = 0; i < 800; ++i)
        events += B({0x00, 0x90, 60 + i % 12, 100, 0x60, 0x80, 60 + i % 12, 0});
    const fs::path in = files.Write("in.mid", Header(0, 1, 96) + TrackChunk(events + EndOfTrack()));
    const std::string listed =
        "VORLAUNE.INI: NumPlayEachTime=5 is outside 10 to 400; the default is used\n";
    const Outcome dump = Vorlaune({"--dump", in.string()});
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.err, listed);
    EXPECT_EQ(dump.out.substr(0, 7), "tpq 96\n");
    const Outcome print = Vorlaune({"-o", (work / "out.pdf").string(), in.string()});
    EXPECT_EQ(print.exitCode, 1);
    EXPECT_EQ(print.err, listed + "Cannot print this song:\n\nIt is 200 measures long and would "
                                  "take at least 4 pages; the limit is 1 pages (setting "
                                  "\"MaxPrintPages\").\n");
}

TEST_F(CommandLine, AnInterruptedRenderLeavesNoTemporaryFile) {
    if (!fs::exists("/usr/share/sounds/sf2/default-GM.sf2") &&
        !fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    // A minute of notes takes a while to render.
    std::string events;
    for (int i = 0; i < 120; ++i)
        events += B({0x00, 0x90, 60 + i % 12, 100, 0x60, 0x80, 60 + i % 12, 0});
    const fs::path in =
        files.Write("minute.mid", Header(0, 1, 96) + TrackChunk(events + EndOfTrack()));
    const fs::path out = files / "out.wav";
    files.Write("out.wav.partial", "someone else's");
    const Outcome run = Vorlaune({"-o", out.string(), in.string()}, 60, [&](pid_t child) {
        // Once the temporary file exists, stop the program as Ctrl+C does.
        for (int i = 0; i < 500; ++i) {
            bool started = false;
            for (const auto& entry : fs::directory_iterator(files.Path()))
                started |= entry.path().filename().string().starts_with(".out.wav.");
            if (started)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(child, SIGINT);
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 128 + SIGINT);
    EXPECT_EQ(files.Names(), (std::vector<std::string>{"minute.mid", "out.wav.partial"}));
    EXPECT_EQ(TempDir::Read(files / "out.wav.partial"), "someone else's");
}

TEST_F(CommandLine, ThePianoRollPrintsFromTheCommandLineAndOtherViewsAreRefused) {
    std::string events;
    for (int i = 0; i < 64; ++i)
        events += B({0x00, 0x90, 48 + i % 24, 100, 0x60, 0x80, 48 + i % 24, 0});
    const fs::path in = files.Write("in.mid", Header(0, 1, 96) + TrackChunk(events + EndOfTrack()));
    const Outcome roll =
        Vorlaune({"-o", (work / "roll.pdf").string(), in.string(), "--view", "roll"});
    ASSERT_EQ(roll.exitCode, 0) << roll.err;
    const Outcome staff =
        Vorlaune({"-o", (work / "staff.pdf").string(), in.string(), "--view", "staff"});
    ASSERT_EQ(staff.exitCode, 0) << staff.err;
    const std::string rollPdf = TempDir::Read(work / "roll.pdf");
    EXPECT_EQ(rollPdf.substr(0, 5), "%PDF-");
    EXPECT_NE(rollPdf, TempDir::Read(work / "staff.pdf"));
    const Outcome png =
        Vorlaune({"-o", (work / "roll.png").string(), in.string(), "--view", "roll"});
    EXPECT_EQ(png.exitCode, 0) << png.err;
    EXPECT_EQ(TempDir::Read(work / "roll.png").substr(1, 3), "PNG");

    const Outcome wrong =
        Vorlaune({"-o", (work / "x.pdf").string(), in.string(), "--view", "message"});
    EXPECT_EQ(wrong.exitCode, 2); // a mistake in the arguments, as for the others
    EXPECT_NE(wrong.err.find("--view needs \"roll\" or \"staff\""), std::string::npos) << wrong.err;
    EXPECT_FALSE(fs::exists(work / "x.pdf"));
}
