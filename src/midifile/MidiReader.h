#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "midifile/MidiStream.h"
#include "util/AString.h"
#include "util/FileResult.h"

class Song;

// Reads Standard MIDI Files (format 0 and 1, plain or wrapped in a RIFF form) in two
// steps: the file's structure into a MidiStream, then the song built from that stream.
class MidiReader {
public:
    static constexpr const char* kReadErrorText = "There was a problem opening this file.";
    static constexpr const char* kReadErrorTitle = "Read Error:";

    // Larger files are refused before anything is read.
    static constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

    // The structure of a file or of bytes in memory. Failure for anything that is not a
    // readable, well-formed format 0 or 1 file, saying what was wrong.
    static FileResult Read(const std::filesystem::path& file, MidiStream& stream);
    static bool ReadBytes(const std::uint8_t* data, std::size_t size, MidiStream& stream,
                          std::string* error = nullptr);

    // The document's load operation. On failure `song` is left untouched.
    static FileResult LoadSong(const std::filesystem::path& file, std::unique_ptr<Song>& song);
    // Builds a song from a stream; null when the stream holds times the song cannot.
    static std::unique_ptr<Song> BuildSong(const MidiStream& stream, const AString& fileName,
                                           std::string* error = nullptr);
};
