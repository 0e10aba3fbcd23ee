#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Receives what a capture source records, on the source's own thread. It must return
// quickly and never wait for the thread that owns the songs.
class AudioCaptureSink {
public:
    virtual ~AudioCaptureSink() = default;
    // 16-bit mono samples at AudioCaptureSource::kRate.
    virtual void Captured(const std::int16_t* samples, std::size_t count) = 0;
};

// Where a recording's sound comes from: the sound card's input, or, in tests and
// scripts, a wave file played in as if sung into the microphone.
class AudioCaptureSource {
public:
    static constexpr int kRate = 44100;

    virtual ~AudioCaptureSource() = default;
    // Starts delivering samples to `sink` from a thread of its own. False with `error`
    // naming what failed (no input device, the sound library's own text).
    virtual bool Start(AudioCaptureSink& sink, std::string& error) = 0;
    // No call to the sink is running or will run once this returns.
    virtual void Stop() = 0;
    // A source with an end (a file played in) says when everything was delivered; the
    // sound card's input never ends.
    virtual bool Finished() const { return false; }
};
