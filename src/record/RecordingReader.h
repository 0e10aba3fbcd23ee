#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/FileResult.h"

typedef struct sf_private_tag SNDFILE;
typedef struct SRC_STATE_tag SRC_STATE;

// A recording as one channel at the rate an analysis wants: any sound file libsndfile
// reads (WAV of every sample format, AIFF, FLAC, Ogg...) or 16-bit mono samples held in
// memory. Channels are averaged; another rate is converted with libsamplerate. Reading
// streams, so a long recording costs no more memory than a short one.
class RecordingReader {
public:
    // Rates outside these are damaged headers, not recordings.
    static constexpr double kLowestRate = 1000.0;
    static constexpr double kHighestRate = 768000.0;

    RecordingReader();
    ~RecordingReader();
    RecordingReader(const RecordingReader&) = delete;
    RecordingReader& operator=(const RecordingReader&) = delete;

    // On failure, which file and why. Only regular files are opened.
    FileResult OpenFile(const std::string& fileName, double analysisRate);
    // Little-endian 16-bit mono samples, kept alive by the caller while reading. False
    // for a rate outside the limits.
    bool OpenSamples(const std::uint8_t* bytes, std::size_t size, double rate, double analysisRate);

    // Up to `count` samples at the analysis rate, full scale being ±1; fewer only at the
    // end of the recording.
    std::size_t Read(float* out, std::size_t count);
    // The same rounded to 16 bits, clipped; a 16-bit recording at the analysis rate
    // comes back exactly as stored.
    std::size_t Read(std::int16_t* out, std::size_t count);

    double InputRate() const { return inputRate_; }
    int InputChannels() const { return channels_; }
    // How many samples the whole recording gives at the analysis rate, as far as its
    // header tells; for progress only.
    std::uint64_t ExpectedSamples() const;

private:
    bool Start(double rate, int channels, double analysisRate);
    // Mono samples at the input rate into `mono_`; false at the end.
    bool ReadInput();
    bool Refill();

    struct SoundFileCloser {
        void operator()(SNDFILE* file) const;
    };
    struct ResamplerCloser {
        void operator()(SRC_STATE* state) const;
    };
    int fd_ = -1;
    std::unique_ptr<SNDFILE, SoundFileCloser> file_;
    std::unique_ptr<SRC_STATE, ResamplerCloser> resampler_;
    const std::uint8_t* memory_ = nullptr;
    std::size_t memoryFrames_ = 0;
    std::size_t memoryPosition_ = 0;

    double inputRate_ = 0.0;
    double ratio_ = 1.0; // output samples per input sample
    int channels_ = 1;
    std::uint64_t inputFrames_ = 0;
    bool inputEnded_ = false;
    bool outputEnded_ = false;

    std::vector<float> interleaved_;
    std::vector<float> mono_; // input not yet resampled, from monoStart_
    std::size_t monoStart_ = 0;
    std::vector<float> ready_; // output not yet handed out, from readyStart_
    std::size_t readyStart_ = 0;
};
