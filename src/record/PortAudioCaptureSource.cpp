#include "record/PortAudioCaptureSource.h"

#include <portaudio.h>

#include <algorithm>

namespace {

// The library's text, and the sound system's own where the library only knows that it
// failed.
std::string Failed(const char* what, PaError code) {
    std::string text = std::string(what) + ": " + Pa_GetErrorText(code);
    const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
    if (code == paUnanticipatedHostError && host && host->errorText && *host->errorText)
        text += std::string(" (") + host->errorText + ")";
    return text;
}

int OnInput(const void* input, void* /*output*/, unsigned long frames,
            const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags /*flags*/, void* self) {
    static_cast<PortAudioCaptureSource*>(self)->Deliver(static_cast<const std::int16_t*>(input),
                                                        frames);
    return paContinue;
}

} // namespace

PortAudioCaptureSource::~PortAudioCaptureSource() {
    Stop();
}

void PortAudioCaptureSource::Deliver(const std::int16_t* samples, unsigned long frames) {
    if (!samples)
        return;
    if (channels_ == 1) {
        sink_->Captured(samples, frames);
        return;
    }
    // Two channels mixed down piecewise into the buffer made beforehand.
    while (frames > 0) {
        const std::size_t n = std::min<std::size_t>(frames, mixed_.size());
        for (std::size_t i = 0; i < n; ++i)
            mixed_[i] =
                static_cast<std::int16_t>((int{samples[2 * i]} + int{samples[2 * i + 1]}) / 2);
        sink_->Captured(mixed_.data(), n);
        samples += 2 * n;
        frames -= n;
    }
}

bool PortAudioCaptureSource::Start(AudioCaptureSink& sink, std::string& error) {
    if (stream_) {
        error = "The sound input is already recording.";
        return false;
    }
    if (const PaError code = Pa_Initialize(); code != paNoError) {
        error = Failed("The sound library could not start", code);
        return false;
    }
    initialised_ = true;
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (!info) {
        error = "There is no sound input device (no microphone or line input was found).";
        Stop();
        return false;
    }
    PaStreamParameters in{};
    in.device = device;
    in.sampleFormat = paInt16;
    in.suggestedLatency = info->defaultLowInputLatency;
    in.channelCount = 1;
    PaError supported = Pa_IsFormatSupported(&in, nullptr, kRate);
    if (supported != paFormatIsSupported && info->maxInputChannels >= 2) {
        in.channelCount = 2;
        supported = Pa_IsFormatSupported(&in, nullptr, kRate);
    }
    const std::string name = info->name ? info->name : "the default input";
    if (supported != paFormatIsSupported) {
        error = Failed(("The sound input \"" + name + "\" cannot record 16-bit sound at " +
                        std::to_string(kRate) + " Hz")
                           .c_str(),
                       supported);
        Stop();
        return false;
    }
    channels_ = in.channelCount;
    mixed_.assign(kFramesPerBuffer, 0);
    sink_ = &sink;
    PaStream* stream = nullptr;
    PaError code =
        Pa_OpenStream(&stream, &in, nullptr, kRate, kFramesPerBuffer, paClipOff, &OnInput, this);
    if (code != paNoError) {
        error = Failed(("The sound input \"" + name + "\" could not be opened").c_str(), code);
        Stop();
        return false;
    }
    stream_ = stream;
    if (code = Pa_StartStream(stream); code != paNoError) {
        error = Failed(("The sound input \"" + name + "\" could not start").c_str(), code);
        Stop();
        return false;
    }
    return true;
}

void PortAudioCaptureSource::Stop() {
    if (stream_) {
        auto* stream = static_cast<PaStream*>(stream_);
        // Stopping waits for the callback that runs; afterwards none will.
        Pa_StopStream(stream);
        Pa_CloseStream(stream);
        stream_ = nullptr;
    }
    if (initialised_) {
        Pa_Terminate();
        initialised_ = false;
    }
    sink_ = nullptr;
}
