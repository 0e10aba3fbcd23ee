#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "util/FileResult.h"

class Song;

// The chord shapes the chord commands cycle through, as semitone offsets from the
// current note. Read at start-up from "chords.mid" (every moment at which notes start
// is one chord, written relative to middle C); the built-in table stands in when the
// file cannot be read or holds no notes.
class Chords {
public:
    static constexpr std::size_t kMaxChords = 39;
    static constexpr std::size_t kNotesPerChord = 6;
    static constexpr std::int16_t kUnused = 99;
    static constexpr int kMiddleC = 60;
    static constexpr const char* kFileName = "chords.mid";
    using Chord = std::array<std::int16_t, kNotesPerChord>;

    // Starts with the built-in table.
    Chords();

    // The table the chord commands use.
    static Chords& Global();

    // Reads a chord file; failure (and the built-in table) when it is missing, cannot be
    // read or holds no notes.
    FileResult Load(const std::filesystem::path& file);
    // Writes the table as a chord file.
    FileResult Save(const std::filesystem::path& file) const;
    // Takes the chords of a song; false (and the built-in table) when it has no notes.
    bool LoadFromSong(Song& song);
    void UseBuiltIn();
    bool IsBuiltIn() const { return builtIn_; }

    std::size_t Count() const { return chords_.size(); }
    const Chord& At(std::size_t index) const { return chords_.at(index); }

    // The last chord for which every offset from `note` lands on a pitch in `present`,
    // or -1.
    int FindChord(int note, const std::bitset<128>& present) const;

    // The table as a song: one chord per beat, relative to middle C.
    std::unique_ptr<Song> ToSong() const;

    static const std::vector<Chord>& BuiltIn();

private:
    std::vector<Chord> chords_;
    bool builtIn_ = true;
};
