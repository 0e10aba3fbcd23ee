#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "util/Refusal.h"

class CPCommand;
class QWidget;
class SongDocument;

// The song-level dialogs of a song window: song and track properties, the tempo and
// signature lists, Delete Track. Each change is one command through the song's command
// processor; `changed` is called after each so that the window can show it.
class SongDialogs {
public:
    SongDialogs(QWidget* parent, SongDocument& document, std::function<void()> changed)
        : parent_(parent), document_(document), changed_(std::move(changed)) {}

    void SongProperties();
    // Opens on `track` (zero-based).
    void TrackProperties(std::size_t track);
    // New entries start at `tick`.
    void Tempo(std::int32_t tick);
    void TimeKeySignature(std::int32_t tick);
    // Returns the deleted track (zero-based), or -1 when none was deleted.
    long DeleteTrack(std::size_t preselected);

    static constexpr const char* kTempoListTitle = "Tempo Changes";
    static constexpr const char* kSignatureListTitle = "Time and Key Signature Changes";

private:
    // Runs the command, if there is one; true when the song changed.
    bool Submit(std::unique_ptr<CPCommand> command, bool notify = true);

    QWidget* parent_;
    SongDocument& document_;
    std::function<void()> changed_;
};
