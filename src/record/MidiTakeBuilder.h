#pragma once

#include <array>
#include <cstdint>

#include "record/MidiRecordRing.h"

class Song;

// Turns the messages of a MIDI recording into song records as they are drained from the
// input rings: a note-on waits for its note-off (or a note-on of velocity 0) and becomes
// one note at its start; controllers, bank selects and pitch bends follow the rules of
// the song's records; program changes set the instrument of later notes. Times are
// milliseconds, turned into ticks at the tempo in force where the take goes.
class MidiTakeBuilder {
public:
    // `take` receives the records (track 0) at its own resolution. With relative times the
    // take starts at its first message; otherwise at the start of input.
    MidiTakeBuilder(Song& take, std::int32_t usPerQuarter, bool relativeTimes);

    // Every drain starts here: a bank select continues one just before it only within a
    // drain.
    void BeginDrain() { previousWasBank_ = false; }
    void Add(const MidiRecordEntry& message);
    // Notes still held when recording stopped make no record.
    std::size_t PendingNotes() const;

private:
    struct Pending {
        std::int32_t onTick = 0;
        std::uint8_t velocity = 0; // 0: none
    };

    std::int32_t Ticks(std::uint32_t ms) const;
    void NoteOff(int channel, int key, std::int32_t tick, std::uint8_t releaseVelocity);

    Song& take_;
    double ticksPerMs_;
    bool relative_;
    std::uint32_t base_ = 0;
    bool baseSet_ = false;
    bool previousWasBank_ = false;
    std::array<std::array<Pending, 128>, 16> pending_{};
    std::array<std::uint8_t, 16> program_{};
    std::array<std::int32_t, 16> bank_{};
};
