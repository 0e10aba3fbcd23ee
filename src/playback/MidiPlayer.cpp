#include "playback/MidiPlayer.h"

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
