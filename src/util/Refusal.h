#pragma once

#include "util/AString.h"
#include "util/Messages.h"

// What an operation that may say no returns: nothing when it went ahead, else the
// message that says why. The caller shows it through the message seam; the operation
// itself changed nothing.
class [[nodiscard]] Refusal {
public:
    Refusal() = default;
    // Implicit, so that an operation can `return kSomeText;`.
    Refusal(const char* text, MessageIcon icon = MessageIcon::Exclamation)
        : Refusal(AString(text), icon) {}
    Refusal(AString text, MessageIcon icon = MessageIcon::Exclamation)
        : refused_(true), text_(std::move(text)), icon_(icon) {}

    // True when the operation refused.
    explicit operator bool() const { return refused_; }
    const AString& Text() const { return text_; }
    // As a message box titled with the program's name.
    Message AsMessage() const { return Message{kAppTitle, text_, icon_, MessageButtons::Ok}; }

private:
    bool refused_ = false;
    AString text_;
    MessageIcon icon_ = MessageIcon::Exclamation;
};
