#include "record/WaveToNotesWorker.h"

#include <exception>

#include "playback/PostTarget.h"

WaveToNotesWorker::~WaveToNotesWorker() {
    Cancel();
    if (thread_.joinable())
        thread_.join();
}

bool WaveToNotesWorker::Start(const WaveToNotesParameters& parameters, PostTarget* target,
                              std::uint32_t progressMessage, std::uint32_t finishedMessage) {
    if (thread_.joinable())
        return false;
    target_ = target;
    progressMessage_ = progressMessage;
    finishedMessage_ = finishedMessage;
    thread_ = std::thread(&WaveToNotesWorker::Run, this, parameters);
    return true;
}

void WaveToNotesWorker::Run(WaveToNotesParameters parameters) {
    std::vector<DetectedNote> notes;
    int voiced = 0;
    bool failed = false;
    std::string error;
    try {
        WaveToNotes converter;
        converter.SetCancelFlag(&cancel_);
        if (target_)
            converter.SetProgressCallback(
                [this](int percent) { target_->Post(progressMessage_, percent); });
        const int code = converter.Convert(parameters, notes, voiced);
        if (code != WaveToNotes::kOk) {
            failed = true;
            error = converter.FileProblem().Explain(WaveToNotes::ErrorText(code));
        }
    } catch (...) {
        failed = true;
        error = kWaveToNotesExceptionText;
    }
    if (failed || cancel_)
        notes.clear();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        notes_ = std::move(notes);
        voicedFrameCount_ = voiced;
        failed_ = failed;
        errorText_ = std::move(error);
    }
    // Whatever happened, the waiting side hears of the end, so a dialog never hangs.
    if (target_)
        target_->Post(finishedMessage_, failed ? 1 : 0);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    finishedSignal_.notify_all();
}

bool WaveToNotesWorker::WaitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return finishedSignal_.wait_for(lock, timeout, [this] { return finished_; });
}

std::vector<DetectedNote> WaveToNotesWorker::TakeNotes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::move(notes_);
}

int WaveToNotesWorker::VoicedFrameCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return voicedFrameCount_;
}

bool WaveToNotesWorker::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

std::string WaveToNotesWorker::ErrorText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errorText_;
}
