#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "record/NotePlacement.h"
#include "record/WaveToNotes.h"

class MC_PasteBlock;
class SongIter;

// The notes found in a recording as one undoable command: they go into one event list,
// timed at the song's tempo at `at` with the rests kept or removed as `restMethod` says,
// and that list is inserted at `at` (later events move on by its length) on the
// destination's track, channel and instrument. Null when there is nothing to insert.
std::unique_ptr<MC_PasteBlock> MakeVoiceNotesPaste(SongIter& viewIter, std::int32_t at,
                                                   const std::vector<DetectedNote>& notes,
                                                   int restMethod,
                                                   const NoteDestination& destination);
