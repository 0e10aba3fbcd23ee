#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Appends a report to "StackWalk.LOG" in the home directory when the program dies of a
// fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) or of an exception nobody
// caught: the time, the version, the signal with the registers or the exception, the
// call stack and the songs that were open. The report is written from a signal handler,
// so everything in it is made ready beforehand in fixed buffers and the handler calls
// only what is safe there (open, write, backtrace_symbols_fd). Unsaved songs are not
// written from the handler: a song's memory may be what broke. RecoveryKeeper keeps
// copies of them all along instead.
class CrashLog {
public:
    static constexpr const char* kFileName = "StackWalk.LOG";
    // Longest text SetSongs keeps; what is longer is cut.
    static constexpr std::size_t kMaxSongsText = 8192;

    // Installs the handlers, the first time only. False when the log's path is too long.
    static bool Install(const std::filesystem::path& home, const std::string& version);
    // What the next report says about the open songs, one per line.
    static void SetSongs(const std::string& text);
    // "YYYY-MM-DD hh:mm:ss UTC" for seconds since 1970, without the C library's time
    // functions, which a signal handler may not call. `out` gets a closing zero.
    static void FormatTime(std::int64_t seconds, char (&out)[32]);
};
