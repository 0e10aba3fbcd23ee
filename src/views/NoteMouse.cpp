#include "views/NoteMouse.h"

#include <algorithm>
#include <cstdlib>

#include "edit/NoteEditor.h"

namespace {

bool Beyond(int a, int b) {
    return std::abs(a - b) > NoteMouse::kDragPixels;
}

} // namespace

void NoteMouse::Press(int x, int y, Modifiers modifiers) {
    feedback_ = Feedback{};
    pressX_ = x;
    pressY_ = y;
    pressTime_ = view_.TimeAt(x, false);
    moved_ = false;
    noteDrag_ = false;
    if (modifiers.shift) {
        // Shift-click grows the selection to the clicked time and is done.
        if (pressTime_)
            editor_.ExtendSelectionTo(*pressTime_);
        held_ = false;
        return;
    }
    held_ = true;
    if (const std::optional<NoteHit> hit = view_.NoteAt(x, y);
        hit && editor_.MakeCurrent(hit->tick, hit->msgIndex)) {
        noteDrag_ = true;
        dragTick_ = hit->tick;
    }
}

void NoteMouse::Move(int x, int y) {
    if (!held_)
        return;
    if (Beyond(x, pressX_) || Beyond(y, pressY_))
        moved_ = true;
    if (!moved_)
        return;
    EdgeScroll(x);
    if (noteDrag_) {
        feedback_.drag = true;
        feedback_.x = x;
        feedback_.y = y;
        return;
    }
    const std::optional<std::int32_t> at = view_.TimeAt(x, false);
    if (!pressTime_ || !at)
        return;
    feedback_.band = true;
    feedback_.from = std::min(*pressTime_, *at);
    feedback_.to = std::max(*pressTime_, *at);
    editor_.SetSelection(NoteEditor::Selection{feedback_.from, feedback_.to});
}

// Held near the start or the end of what shows, the view moves a quarter note that way.
void NoteMouse::EdgeScroll(int x) {
    const std::optional<std::int32_t> at = view_.TimeAt(x, false);
    if (!at)
        return;
    const std::int32_t quarter = view_.TicksPerQuarter();
    if (*at < view_.ShownStart() + quarter && view_.ShownStart() > 0)
        view_.ScrollBy(-quarter);
    else if (*at > view_.ShownEnd() - quarter)
        view_.ScrollBy(quarter);
}

void NoteMouse::Release(int x, int y) {
    if (!held_)
        return;
    held_ = false;
    if (Beyond(x, pressX_) || Beyond(y, pressY_))
        moved_ = true;
    feedback_ = Feedback{};
    if (noteDrag_) {
        // Up or down: another pitch; sideways: another time, on the snap grid.
        if (Beyond(y, pressY_))
            if (const std::optional<int> pitch = view_.PitchAt(y, dragTick_))
                editor_.ChangeCurrentPitch(*pitch);
        if (Beyond(x, pressX_))
            if (const std::optional<std::int32_t> to = view_.TimeAt(x, true))
                editor_.MoveCurrentBy(*to - dragTick_);
        return;
    }
    if (moved_) {
        const std::optional<std::int32_t> at = view_.TimeAt(x, false);
        if (pressTime_ && at)
            editor_.SetSelection(
                NoteEditor::Selection{std::min(*pressTime_, *at), std::max(*pressTime_, *at)});
        return;
    }
    const std::optional<std::int32_t> time = view_.TimeAt(x, true);
    if (!time)
        return;
    if (const std::optional<int> pitch = view_.PitchAt(y, *time))
        editor_.PutNoteAt(*time, *pitch, view_.MovesPitchIntoKey());
}

NoteMouse::Popup NoteMouse::RightPress(int x, int y) {
    held_ = false;
    feedback_ = Feedback{};
    Popup popup;
    if (const std::optional<NoteHit> hit = view_.NoteAt(x, y);
        hit && editor_.MakeCurrent(hit->tick, hit->msgIndex)) {
        popup.kind = Popup::Kind::Note;
        return popup;
    }
    popup.kind = Popup::Kind::Time;
    popup.time = view_.TimeAt(x, true);
    if (popup.time) {
        popup.lyricNear = editor_.NearbyLyric(*popup.time) != nullptr;
        popup.audioNear = editor_.NearbyAudio(*popup.time) != nullptr;
    }
    return popup;
}
