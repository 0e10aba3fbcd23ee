#pragma once

#include <cstdint>

#include "devices/KeyOperation.h"

class KeyTranslator;

// Decides what a key press in a song window does: the key assignments come first; Undo
// is the main window's own, every other operation goes to the active view.
class KeyDispatch {
public:
    enum class Action { None, Undo, Forward };
    struct Result {
        Action action = Action::None;
        KeyOperation operation = KeyOperation::AddNoteAfterCurrent;
    };

    explicit KeyDispatch(const KeyTranslator& keys) : keys_(keys) {}

    // Keys go nowhere while the key assignment dialog is open.
    void SetEnabled(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; }
    // While set, the modifier states are taken as Ctrl down, Shift and Alt up.
    void ForceCtrl(bool on) { forceCtrl_ = on; }

    Result Route(std::uint8_t virtualKey, bool shift, bool ctrl, bool alt, bool songActive) const;

private:
    const KeyTranslator& keys_;
    bool enabled_ = true;
    bool forceCtrl_ = false;
};
