#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "record/AudioCaptureSource.h"

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
