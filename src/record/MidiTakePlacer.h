#pragma once

#include <memory>

#include "edit/BlockOps.h"
#include "record/MidiRecordSession.h"

class CommandProcessor;
class Song;
class SongIter;

// Puts a recorded take into the song as one undoable command: the take is fitted to its
// time and aligned first (it is not part of the song yet, so that needs no undo), then
// pasted at the chosen place with the chosen method.
class MidiTakePlacer {
public:
    // `viewIter` is the active view's iterator (its filter decides what Overwrite
    // clears); `current` the view's track, channel and instrument, used unless tracks
    // are assigned by channel. False when the take holds nothing to place.
    static bool Place(CommandProcessor& commands, SongIter& viewIter, std::unique_ptr<Song> take,
                      const MidiTakePlacement& placement, const PasteTarget& current);
    // The take as it will be pasted: fitted and aligned, with the span it covers.
    static std::unique_ptr<BlockCopy> Prepare(std::unique_ptr<Song> take,
                                              const MidiTakePlacement& placement);
};
