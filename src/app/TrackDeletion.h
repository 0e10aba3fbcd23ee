#pragma once

#include <cstddef>
#include <memory>

#include "util/AString.h"
#include "util/Refusal.h"

class CPCommand;
class Song;

// Delete Track without its dialogs: when it may be chosen, what it asks, what it does.
class TrackDeletion {
public:
    // Refuses while the song has fewer than two tracks: a song keeps at least one.
    static Refusal Available(const Song& song);
    // "Are you sure you want to delete track #3" for track 2 (zero-based).
    static AString Question(std::size_t track);
    // The delete command for track `track` (zero-based).
    static Refusal Make(Song& song, std::size_t track, std::unique_ptr<CPCommand>& command);

    static constexpr const char* kTooFew = "There must be at least 2 tracks active to delete one.";
};
