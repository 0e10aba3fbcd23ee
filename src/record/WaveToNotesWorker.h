#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "record/WaveToNotes.h"

class PostTarget;

// Runs one conversion on its own thread. Progress (the percentage as the value) and the
// end are posted to a target, which takes them on its own thread; the results are read
// once WaitFinished says the run is over.
class WaveToNotesWorker {
public:
    WaveToNotesWorker() = default;
    // Cancels a running conversion and waits for its thread.
    ~WaveToNotesWorker();
    WaveToNotesWorker(const WaveToNotesWorker&) = delete;
    WaveToNotesWorker& operator=(const WaveToNotesWorker&) = delete;

    // False when a conversion was already started. Samples in memory named by the
    // parameters must outlive the run.
    bool Start(const WaveToNotesParameters& parameters, PostTarget* target,
               std::uint32_t progressMessage, std::uint32_t finishedMessage);
    // A cancelled run stops at its next frame and hands over no notes.
    void Cancel() { cancel_ = true; }
    bool WaitFinished(std::chrono::milliseconds timeout);

    // Valid once finished.
    std::vector<DetectedNote> TakeNotes();
    int VoicedFrameCount() const;
    bool Failed() const;
    std::string ErrorText() const;

private:
    void Run(WaveToNotesParameters parameters);

    std::thread thread_;
    std::atomic<bool> cancel_{false};
    PostTarget* target_ = nullptr;
    std::uint32_t progressMessage_ = 0;
    std::uint32_t finishedMessage_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable finishedSignal_;
    bool finished_ = false;
    std::vector<DetectedNote> notes_;
    int voicedFrameCount_ = 0;
    bool failed_ = false;
    std::string errorText_;
};
