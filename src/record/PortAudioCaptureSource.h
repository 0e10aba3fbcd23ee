#pragma once

#include <cstdint>
#include <vector>

#include "record/AudioCaptureSource.h"

// The sound card's default input through PortAudio, as 16-bit mono at kRate. A device
// that takes only two channels at that rate is recorded in stereo and mixed down in the
// callback; one that cannot record at kRate at all is refused with that said, since the
// take and its analysis are made for that rate.
class PortAudioCaptureSource : public AudioCaptureSource {
public:
    // Samples per callback: 10 ms.
    static constexpr unsigned long kFramesPerBuffer = kRate / 100;

    PortAudioCaptureSource() = default;
    ~PortAudioCaptureSource() override;
    PortAudioCaptureSource(const PortAudioCaptureSource&) = delete;
    PortAudioCaptureSource& operator=(const PortAudioCaptureSource&) = delete;

    bool Start(AudioCaptureSink& sink, std::string& error) override;
    void Stop() override;

    // On the stream's thread: hands a buffer of input to the sink.
    void Deliver(const std::int16_t* samples, unsigned long frames);

private:
    AudioCaptureSink* sink_ = nullptr;
    void* stream_ = nullptr;
    bool initialised_ = false;
    int channels_ = 1;
    std::vector<std::int16_t> mixed_; // the callback's, sized before the stream starts
};
