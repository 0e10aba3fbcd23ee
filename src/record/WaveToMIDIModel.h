#pragma once

#include <cstddef>
#include <string>

#include "record/WaveCapture.h"
#include "util/Messages.h"

// The steps of the "Voice to MIDI Notes" dialog: recording a new take (until Done),
// converting it or a chosen file on the worker, and the result. Each step says what the
// dialog is to do and what it shows; the dialog itself only carries that out.
class WaveToMIDIModel {
public:
    static constexpr const char* kTitle = "Voice to MIDI Notes";
    static constexpr const char* kRecordingText = "Recording...";
    static constexpr const char* kConvertingText = "Wave to MIDI Processing...";
    static constexpr const char* kRecorderFailedText = WaveCapture::kStartFailed;

    enum class State { Opening, Recording, Converting, Finished, Closed };

    // What the dialog does after a step; several may come together, in this order.
    enum Action : unsigned {
        kNothing = 0,
        kStartRecorder = 1u << 0, // the recorder and the display's 20 ms timer
        kStopRecorder = 1u << 1,
        kStartWorker = 1u << 2,
        kCancelWorker = 1u << 3, // set the cancel flag and wait (at most 10 s) for the end
        kShowNotice = 1u << 4,   // Notice()
        kAccept = 1u << 5,       // ends the dialog: the caller places the notes
        kReject = 1u << 6,       // ends the dialog without notes
    };

    // What the dialog shows in the present state.
    struct Look {
        std::string message;
        bool done = false;
        bool ok = false;
        bool help = false;
        bool cancel = false;
        bool delayLine = false;
    };

    // Recording a new take first, or converting an existing file at once.
    unsigned Open(bool newTake);
    unsigned PressDone();
    unsigned PressOk();
    unsigned PressCancel();
    // The recorder did not start; `why` names what failed.
    unsigned RecorderFailed(const std::string& why);
    // The worker posted its end.
    unsigned ConversionEnded(std::size_t noteCount, bool failed, const std::string& errorText);

    State GetState() const { return state_; }
    Look Shown() const;
    // The message box a step asked for.
    const Message& Notice() const { return notice_; }

private:
    State state_ = State::Opening;
    std::size_t notes_ = 0;
    Message notice_;
};
