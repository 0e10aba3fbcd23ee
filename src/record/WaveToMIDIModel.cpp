#include "record/WaveToMIDIModel.h"

#include "record/WaveToNotes.h"

unsigned WaveToMIDIModel::Open(bool newTake) {
    if (state_ != State::Opening)
        return kNothing;
    state_ = newTake ? State::Recording : State::Converting;
    return newTake ? kStartRecorder : kStartWorker;
}

unsigned WaveToMIDIModel::PressDone() {
    if (state_ != State::Recording)
        return kNothing;
    state_ = State::Converting;
    return kStopRecorder | kStartWorker;
}

unsigned WaveToMIDIModel::PressOk() {
    if (state_ != State::Finished)
        return kNothing;
    state_ = State::Closed;
    return kAccept;
}

unsigned WaveToMIDIModel::PressCancel() {
    const State was = state_;
    if (was == State::Closed)
        return kNothing;
    state_ = State::Closed;
    switch (was) {
    case State::Recording:
        return kStopRecorder | kReject;
    case State::Converting:
        return kCancelWorker | kReject;
    default:
        return kReject;
    }
}

unsigned WaveToMIDIModel::RecorderFailed(const std::string& why) {
    if (state_ != State::Recording)
        return kNothing;
    state_ = State::Closed;
    std::string text = kRecorderFailedText;
    if (!why.empty())
        text += "\n\n" + why;
    notice_ = Message{kAppTitle, AString(text), MessageIcon::Exclamation};
    return kShowNotice | kReject;
}

unsigned WaveToMIDIModel::ConversionEnded(std::size_t noteCount, bool failed,
                                          const std::string& errorText) {
    // A run that was cancelled ends after the dialog has gone.
    if (state_ != State::Converting)
        return kNothing;
    if (noteCount > 0 && !failed) {
        state_ = State::Finished;
        notes_ = noteCount;
        return kNothing;
    }
    state_ = State::Closed;
    notice_ = failed ? Message{kAppTitle, AString(errorText), MessageIcon::Exclamation}
                     : Message{kAppTitle, kWaveToNotesNoNotesText, MessageIcon::Information};
    return kShowNotice | kReject;
}

WaveToMIDIModel::Look WaveToMIDIModel::Shown() const {
    Look look;
    switch (state_) {
    case State::Opening:
    case State::Recording:
        look.message = kRecordingText;
        look.done = look.cancel = look.delayLine = true;
        break;
    case State::Converting:
        look.message = kConvertingText;
        look.help = look.cancel = true;
        break;
    case State::Finished:
        look.message = "Finished. " + std::to_string(notes_) + " notes found.";
        look.ok = look.help = look.cancel = true;
        break;
    case State::Closed:
        break;
    }
    return look;
}
