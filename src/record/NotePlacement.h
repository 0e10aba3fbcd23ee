#pragma once

#include <cstdint>
#include <vector>

#include "record/WaveToNotes.h"

class Song;

// How the silence of a recording is kept when its notes go into a song.
enum RestMethod { kNoTimeDeletion = 0, kDeleteBeginningRest = 1, kDeleteAllRests = 2 };

// Where the notes go: the insertion settings of the view they are placed from.
struct NoteDestination {
    std::uint16_t track = 0;
    std::uint8_t channel = 0;
    std::uint8_t program = 0;
    std::int32_t bank = -1;
};

// Adds the notes to `eventList` at its resolution, timed at `usPerQuarter` microseconds
// per quarter note, with the rests kept or removed as `restMethod` says. The list is
// what the paste operation then inserts at the cursor.
void PlaceDetectedNotes(const std::vector<DetectedNote>& notes, int restMethod,
                        std::int32_t usPerQuarter, const NoteDestination& destination,
                        Song& eventList);
