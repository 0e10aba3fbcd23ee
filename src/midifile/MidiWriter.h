#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/MidiMsg.h"
#include "util/AString.h"
#include "util/FileResult.h"

class Song;

// One track chunk being written. Notes become note on / note off pairs: each note's off
// waits until the events written after it pass its time.
class MidiTrackWriter {
public:
    void Text(std::int32_t delta, int type, const std::string& text);
    void Tempo(std::int32_t delta, std::int32_t microsPerQuarter);
    void TimeSignature(std::int32_t delta, int numerator, int denominator);
    void KeySignature(std::int32_t delta, int key, int mode);
    void Note(std::int32_t delta, const MidiMsgNote& note);
    void ControlChange(std::int32_t delta, const MidiMsgControlChange& cc);
    void PolyAftertouch(std::int32_t delta, const MidiMsgPolyAftertouch& at);
    void ChannelAftertouch(std::int32_t delta, const MidiMsgChannelAftertouch& at);
    void SysExclusive(std::int32_t delta, const std::vector<std::uint8_t>& bytes);
    void OtherMeta(std::int32_t delta, std::uint8_t type, const std::vector<std::uint8_t>& bytes);
    // Any record of a song track.
    void Record(std::int32_t delta, const MidiMsg& msg);

    // Writes the remaining note offs and the end of track; returns the whole chunk.
    std::string Finish();

private:
    // Writes the note offs due within `delta`; returns what is left of the delta.
    std::int32_t FlushNoteOffs(std::int32_t delta);
    void Delta(std::int32_t delta);
    void Vlq(std::uint32_t value);
    void Bytes(std::initializer_list<std::uint8_t> bytes);
    void ChannelMessage(std::int32_t delta, std::initializer_list<std::uint8_t> bytes);

    std::string out_;
    std::int64_t now_ = 0; // absolute tick of the last event written
    // Pending note offs ordered by due tick, then by when they were added.
    struct Pending {
        std::int64_t due;
        std::uint64_t order;
        std::uint8_t channel, key, velocity;
        bool operator<(const Pending& o) const {
            return due != o.due ? due < o.due : order < o.order;
        }
    };
    std::set<Pending> pending_;
    std::map<int, std::set<Pending>::iterator> pendingByKey_; // channel * 128 + key
    std::uint64_t order_ = 0;
    // The instrument last selected on each channel of this chunk.
    std::int32_t lastBank_[16] = {kNoBank, kNoBank, kNoBank, kNoBank, kNoBank, kNoBank,
                                  kNoBank, kNoBank, kNoBank, kNoBank, kNoBank, kNoBank,
                                  kNoBank, kNoBank, kNoBank, kNoBank};
    std::uint8_t lastProgram_[16] = {255, 255, 255, 255, 255, 255, 255, 255,
                                     255, 255, 255, 255, 255, 255, 255, 255};
};

// Writes songs as format 1 Standard MIDI Files that the reader reads back into the same
// song.
class MidiWriter {
public:
    // The file's bytes; false (with `error`) when the song cannot be written.
    static bool SongBytes(Song& song, std::string& bytes, std::string* error = nullptr);
    // The document's save operation: never touches an existing file unless the whole new
    // one was written. With `setName` the song takes the new name.
    static FileResult SaveSong(Song& song, const std::filesystem::path& file, bool setName = true);
};
