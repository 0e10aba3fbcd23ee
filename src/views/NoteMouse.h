#pragma once

#include <cstdint>
#include <optional>

class NoteEditor;

// Where a drawn note head is: its tick and its index in its time point.
struct NoteHit {
    std::int32_t tick = 0;
    std::int32_t msgIndex = 0;
};

// What the mouse needs from a note view kind: its mappings between the window and the
// song, the notes it drew, and scrolling.
class NoteMouseView {
public:
    virtual ~NoteMouseView() = default;
    // The time under x, rounded to the snap grid when `snap` is set; none outside the
    // measures.
    virtual std::optional<std::int32_t> TimeAt(int x, bool snap) const = 0;
    // The pitch under y, in the key in force at `tick`; none outside the staff.
    virtual std::optional<int> PitchAt(int y, std::int32_t tick) const = 0;
    // The note whose head is under (x, y).
    virtual std::optional<NoteHit> NoteAt(int x, int y) const = 0;
    // The ticks shown, and scrolling by a number of ticks.
    virtual std::int32_t ShownStart() const = 0;
    virtual std::int32_t ShownEnd() const = 0;
    virtual void ScrollBy(std::int32_t ticks) = 0;
    // The staff moves a clicked pitch into the key; the piano roll keeps it.
    virtual bool MovesPitchIntoKey() const = 0;
    virtual std::int32_t TicksPerQuarter() const = 0;
};

// The press, drag and release of the mouse in a note view, turned into edits on the
// view's note editor: a click puts a note, a click on a head makes it current, a drag of
// a head changes its pitch and time, a drag across empty space selects a range, Shift
// extends the selection; dragging near an edge scrolls.
class NoteMouse {
public:
    struct Modifiers {
        bool shift = false;
        bool ctrl = false;
    };
    // What a right click asks for.
    struct Popup {
        enum class Kind { None, Note, Time };
        Kind kind = Kind::None;
        std::optional<std::int32_t> time; // the clicked time, snapped; none outside measures
        bool lyricNear = false;
        bool audioNear = false;
    };
    // What the view shows while the button is held.
    struct Feedback {
        bool band = false; // a range being selected from `from` to `to`
        bool drag = false; // a note being dragged to (x, y)
        std::int32_t from = 0, to = 0;
        int x = 0, y = 0;
    };

    NoteMouse(NoteEditor& editor, NoteMouseView& view) : editor_(editor), view_(view) {}

    void Press(int x, int y) { Press(x, y, Modifiers()); }
    void Press(int x, int y, Modifiers modifiers);
    void Move(int x, int y);
    void Release(int x, int y);
    Popup RightPress(int x, int y);
    bool Held() const { return held_; }
    const Feedback& Current() const { return feedback_; }

    // A press that moved more than this many pixels is a drag.
    static constexpr int kDragPixels = 1;

private:
    void EdgeScroll(int x);

    NoteEditor& editor_;
    NoteMouseView& view_;
    bool held_ = false;
    bool noteDrag_ = false;
    bool moved_ = false;
    int pressX_ = 0, pressY_ = 0;
    std::optional<std::int32_t> pressTime_;
    std::int32_t dragTick_ = 0;
    Feedback feedback_;
};
