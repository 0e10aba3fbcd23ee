#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "midifile/MidiReader.h"
#include "model/Song.h"

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
