#include "app/KeyDispatch.h"

#include "devices/KeyTranslator.h"

KeyDispatch::Result KeyDispatch::Route(std::uint8_t virtualKey, bool shift, bool ctrl, bool alt,
                                       bool songActive) const {
    Result result;
    if (!enabled_ || !songActive || virtualKey == 0)
        return result;
    if (forceCtrl_) {
        shift = false;
        ctrl = true;
        alt = false;
    }
    KeyOperation op{};
    if (!keys_.Find(virtualKey, shift, ctrl, alt, op))
        return result;
    result.action = op == KeyOperation::Undo ? Action::Undo : Action::Forward;
    result.operation = op;
    return result;
}
