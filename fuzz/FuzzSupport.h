#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "midifile/MidiReader.h"
#include "model/Song.h"
#include "model/SongDump.h"

// An empty folder of this process for targets that need files, made once and removed
// when the process ends. In memory where the system offers it: every settings write is
// flushed to the disk, which would slow fuzzing down a hundredfold.
inline const std::filesystem::path& FuzzHome() {
    struct Home {
        std::filesystem::path path;
        Home() {
            std::error_code ec;
            const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                                   ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path();
            std::string pattern = (base / "vl-fuzz-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                std::abort();
            path = pattern;
        }
        ~Home() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Home home;
    return home.path;
}

// The song bytes make, or null when they are no MIDI file the program reads.
inline std::unique_ptr<Song> SongFromBytes(const std::uint8_t* data, std::size_t size) {
    MidiStream stream;
    if (!MidiReader::ReadBytes(data, size, stream))
        return nullptr;
    return MidiReader::BuildSong(stream, "");
}

// Stops the run on a broken promise, showing the first line where two texts that should
// be the same part, so that a finding explains itself.
[[noreturn]] inline void FailDifferent(const char* what, const std::string& expected,
                                       const std::string& got) {
    std::size_t at = 0;
    while (at < expected.size() && at < got.size() && expected[at] == got[at])
        ++at;
    const std::size_t line = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = line == std::string::npos || at == 0 ? 0 : line + 1;
    std::fprintf(stderr, "%s differ at byte %zu:\n--- expected\n%.300s\n--- got\n%.300s\n", what,
                 at, expected.c_str() + from, got.c_str() + std::min(from, got.size()));
    __builtin_trap();
}

// Stops the run on a broken promise, saying which and about what.
[[noreturn]] inline void FailBecause(const char* why, const std::string& about = {}) {
    std::fprintf(stderr, "%s: \"%s\"\n", why, EscapeDumpText(about).c_str());
    __builtin_trap();
}
