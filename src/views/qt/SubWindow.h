#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

#include "devices/KeyOperation.h"
#include "views/PagePainter.h"
#include "views/ViewCallbacks.h"

class Song;
class CommandProcessor;

// A view inside a song window: the base of every kind. It reaches its window only
// through the table of callbacks the window fills.
class SubWindow : public QWidget {
    Q_OBJECT
public:
    enum Kind { kPianoRoll = 0, kStaff = 1, kMessage = 2 };

    SubWindow(Song& song, ViewCallbacks callbacks, QWidget* parent = nullptr);
    ~SubWindow() override;

    Song& GetSong() const { return song_; }
    ViewCallbacks& Callbacks() { return callbacks_; }

    virtual int ViewKind() const = 0;
    // The song changed (an edit, undo or redo): read it again and repaint.
    virtual void Refresh() {}
    // Draws the play bar at `tick` (-1 hides it).
    virtual void ShowPlayBar(std::int32_t tick);
    // What the view shows of the song.
    virtual std::int32_t FirstVisibleTick() const { return 0; }
    virtual std::int32_t LastVisibleTick() const { return 0; }
    // An editing operation from a key or a menu; false when the view leaves it to others.
    virtual bool KeyOperationCommand(KeyOperation /*op*/) { return false; }
    // The Note menu's "Delete/Cut" and "Clear" of the current item, and Select All.
    virtual void DeleteCurrent() {}
    virtual void ClearCurrent() {}
    virtual void SelectAll() {}
    // The "Note Properties" dialog for the current note.
    virtual void NoteProperties() {}
    // The view's settings dialog.
    virtual void Settings();
    // What prints the view's pages; null for a view that does not print.
    virtual std::unique_ptr<PagePainter> MakePrinter() { return nullptr; }
    // The caret blink and the like, every 750 ms while the view is active.
    virtual void PeriodicUpdate() {}
    // Track `track` was deleted from the song.
    virtual void TrackDeleted(std::size_t /*track*/) {}

    bool IsActive() const { return active_; }
    void SetActive(bool active);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    std::int32_t PlayBar() const { return playBar_; }

    Song& song_;
    ViewCallbacks callbacks_;

private:
    bool active_ = false;
    std::int32_t playBar_ = -1;
};
