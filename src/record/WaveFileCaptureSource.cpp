#include "record/WaveFileCaptureSource.h"

#include <chrono>
#include <vector>

#include "record/RecordingReader.h"

WaveFileCaptureSource::WaveFileCaptureSource(std::string file, double speed)
    : file_(std::move(file)), speed_(speed) {}

WaveFileCaptureSource::~WaveFileCaptureSource() {
    Stop();
}

bool WaveFileCaptureSource::Start(AudioCaptureSink& sink, std::string& error) {
    if (thread_.joinable()) {
        error = "The file is already being played in.";
        return false;
    }
    auto reader = std::make_shared<RecordingReader>();
    if (const FileResult opened = reader->OpenFile(file_, kRate); !opened) {
        error = opened.Describe();
        return false;
    }
    stop_ = false;
    finished_->store(false);
    thread_ = std::thread([this, &sink, reader] {
        using Clock = std::chrono::steady_clock;
        std::vector<std::int16_t> piece(kPieceSamples);
        const Clock::time_point start = Clock::now();
        std::uint64_t delivered = 0;
        while (!stop_.load(std::memory_order_acquire)) {
            const std::size_t got = reader->Read(piece.data(), piece.size());
            if (got == 0)
                break;
            delivered += got;
            // A sound card hands over a piece once its last sample was sung.
            if (speed_ > 0.0) {
                const double seconds = static_cast<double>(delivered) / (kRate * speed_);
                std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(seconds)));
            }
            sink.Captured(piece.data(), got);
        }
        finished_->store(true, std::memory_order_release);
    });
    return true;
}

void WaveFileCaptureSource::Stop() {
    stop_.store(true, std::memory_order_release);
    if (thread_.joinable())
        thread_.join();
}
