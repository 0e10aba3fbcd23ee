#pragma once

#include <bitset>
#include <cstdint>

#include "model/Song.h"

// The notes at the current note's time that belong with it: same track, channel and
// instrument. They are what the chord operations read and rebuild.
struct ChordNotes {
    ChordNotes(SongTimePoint& point, const MidiMsgNote& current);
    bool BelongsWith(const MidiMsg& msg) const;

    const MidiMsgNote& current;
    std::bitset<128> present;
    // How many lie within eleven semitones of the current note, itself included.
    int near = 0;
};

// A new chord tone on the current note's track, channel and instrument; false when
// the pitch is outside 0 to 127.
bool AddChordTone(Song& song, SongTimePoint& point, const MidiMsgNote& current, int pitch);
