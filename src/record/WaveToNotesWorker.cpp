#include "record/WaveToNotesWorker.h"

#include <exception>

WaveToNotesWorker::~WaveToNotesWorker() {
    Cancel();
    if (thread_.joinable())
        thread_.join();
}

bool WaveToNotesWorker::Start(const WaveToNotesParameters& parameters, ProgressFunction onProgress,
                              FinishedFunction onFinished) {
    if (thread_.joinable())
        return false;
    onProgress_ = std::move(onProgress);
    onFinished_ = std::move(onFinished);
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
        if (onProgress_)
            converter.SetProgressCallback(
                [](void* self, int percent) {
                    static_cast<WaveToNotesWorker*>(self)->onProgress_(percent);
                },
                this);
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
    try {
        if (onFinished_)
            onFinished_();
    } catch (...) {
    }
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
