#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <filesystem>
#include <memory>

#include "record/AudioCaptureSource.h"
#include "record/WaveCapture.h"

// A capture source that a test feeds by hand, as a sound card's callback would.
class HandCaptureSource : public AudioCaptureSource {
public:
    bool refuse = false;
    AudioCaptureSink* sink = nullptr;

    bool Start(AudioCaptureSink& s, std::string& error) override {
        if (refuse) {
            error = "There is no sound input device.";
            return false;
        }
        sink = &s;
        return true;
    }
    void Stop() override { sink = nullptr; }
    // In uneven pieces, as callbacks come.
    void Feed(const std::vector<std::int16_t>& samples) {
        const std::size_t sizes[] = {441, 128, 1000, 7};
        std::size_t at = 0;
        for (int i = 0; at < samples.size(); ++i) {
            const std::size_t n = std::min(sizes[i % 4], samples.size() - at);
            sink->Captured(samples.data() + at, n);
            at += n;
        }
    }
};

// A recorder fed by hand that writes its take into `home` (made if missing); `source`
// is set to its source.
inline std::unique_ptr<WaveCapture> HandFedCapture(const std::filesystem::path& home,
                                                   HandCaptureSource*& source) {
    std::filesystem::create_directories(home);
    auto owned = std::make_unique<HandCaptureSource>();
    source = owned.get();
    auto capture = std::make_unique<WaveCapture>(std::move(owned));
    capture->SetDirectory(home);
    return capture;
}
