#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "record/AudioCaptureSource.h"

// A sound file played in as if sung into the microphone: any file RecordingReader reads,
// brought to 16-bit mono at kRate, delivered in 10 ms pieces at `speed` times real time
// (0: all at once, for a sink that takes everything at once, as a test's may), for
// tests, scripts and benchmarks.
class WaveFileCaptureSource : public AudioCaptureSource {
public:
    static constexpr std::size_t kPieceSamples = kRate / 100;

    explicit WaveFileCaptureSource(std::string file, double speed = 1.0);
    ~WaveFileCaptureSource() override;

    bool Start(AudioCaptureSink& sink, std::string& error) override;
    void Stop() override;
    bool Finished() const override { return finished_->load(std::memory_order_acquire); }

    // Set once everything was delivered; outlives the source, for whoever waits on it.
    std::shared_ptr<const std::atomic<bool>> FinishedFlag() const { return finished_; }
    const std::string& File() const { return file_; }

private:
    std::string file_;
    double speed_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::shared_ptr<std::atomic<bool>> finished_ = std::make_shared<std::atomic<bool>>(false);
};
