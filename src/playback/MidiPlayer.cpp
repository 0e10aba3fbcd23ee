#include "playback/MidiPlayer.h"

#include <utility>

AString MidiPlayer::StatusText() const {
    std::lock_guard lock(textMutex_);
    return statusText_;
}

AString MidiPlayer::ErrorText() const {
    std::lock_guard lock(textMutex_);
    return errorText_;
}

void MidiPlayer::SetStatusText(const AString& text) {
    std::lock_guard lock(textMutex_);
    statusText_ = text;
}

void MidiPlayer::SetErrorText(const AString& text) {
    std::lock_guard lock(textMutex_);
    errorText_ = text;
}

bool MidiPlayer::AddErrorText(const AString& text) {
    std::lock_guard lock(textMutex_);
    errorText_ = text;
    const bool first = untakenErrors_.IsEmpty();
    untakenErrors_ += first ? text : "\n\n" + text;
    return first;
}

AString MidiPlayer::TakeErrorText() {
    std::lock_guard lock(textMutex_);
    return std::exchange(untakenErrors_, AString());
}
