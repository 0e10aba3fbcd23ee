#pragma once

#include <memory>

#include "edit/CPCommand.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "model/ViewFilter.h"

// Base of the commands that change a song through a SongIter. The first run borrows the
// issuing view's iterator; later runs (undo, redo) build their own from the song and a
// copy of the view's filter, so a command never holds a view's iterator past the call
// that used it and still works after the view is gone.
class MC_UndoableSongIter : public CPCommand {
public:
    MC_UndoableSongIter(std::int32_t kind, SongIter& viewIter);

    Song& GetSong() const { return *song_; }
    const ViewFilter* SavedFilter() const { return savedFilter_.get(); }

protected:
    // Frames every Execute and Undo: attaches on construction, detaches on destruction,
    // also when the work returns early.
    class Frame {
    public:
        explicit Frame(MC_UndoableSongIter& command) : command_(command) { command_.Attach(); }
        ~Frame() { command_.Detach(); }
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

    private:
        MC_UndoableSongIter& command_;
    };

    void Attach();
    void Detach();
    bool Borrowed() const { return borrowedIter_; }
    SongIter& Iter() const { return *iter_; }

    // For the length of the change, every kind of event on the filter's tracks, channels
    // and instruments is reached, not only the kind the view shows.
    void WidenFilter() { RestrictKind(kAllKinds, kAnySubKey); }
    // Sets the kind restriction for the length of the change.
    void RestrictKind(std::int32_t kind, std::int32_t subKey);
    void RestoreFilter();

private:
    std::unique_ptr<ViewFilter> savedFilter_;
    bool borrowedIter_ = false;
    SongIter* iter_;
    std::unique_ptr<SongIter> ownIter_;
    Song* song_;
    // The view's own filter while its iterator is borrowed; the command works through
    // its copy so that the view's filter is never changed.
    const ViewFilter* viewFilter_ = nullptr;
    bool widened_ = false;
};
