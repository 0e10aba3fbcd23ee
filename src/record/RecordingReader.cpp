#include "record/RecordingReader.h"

#include <samplerate.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "util/RegularFile.h"

namespace {

// Input frames taken at a time: large enough that the libraries' per-call costs vanish.
constexpr std::size_t kChunkFrames = 4096;

std::string RateText(double rate) {
    return std::to_string(static_cast<long long>(std::llround(rate)));
}

} // namespace

void RecordingReader::SoundFileCloser::operator()(SNDFILE* file) const {
    sf_close(file);
}

void RecordingReader::ResamplerCloser::operator()(SRC_STATE* state) const {
    src_delete(state);
}

RecordingReader::RecordingReader() = default;

RecordingReader::~RecordingReader() {
    file_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordingReader::Start(double rate, int channels, double analysisRate) {
    if (!(rate >= kLowestRate && rate <= kHighestRate) || channels < 1)
        return false;
    inputRate_ = rate;
    channels_ = channels;
    ratio_ = analysisRate / rate;
    if (rate != analysisRate) {
        int error = 0;
        resampler_.reset(src_new(SRC_SINC_FASTEST, 1, &error));
        if (!resampler_)
            return false;
    }
    return true;
}

FileResult RecordingReader::OpenFile(const std::string& fileName, double analysisRate) {
    const FileResult opened = RegularFile::Open(fileName, fd_);
    if (!opened)
        return opened;
    SF_INFO info{};
    file_.reset(sf_open_fd(fd_, SFM_READ, &info, SF_FALSE));
    if (!file_)
        return FileResult::Refused(fileName,
                                   std::string("Not a sound file the program can read: ") +
                                       sf_strerror(nullptr));
    if (info.channels < 1)
        return FileResult::Refused(fileName, "It holds no sound channel");
    if (!Start(info.samplerate, info.channels, analysisRate))
        return FileResult::Refused(fileName, "Its sample rate of " + RateText(info.samplerate) +
                                                 " Hz lies outside " + RateText(kLowestRate) +
                                                 " to " + RateText(kHighestRate) + " Hz");
    inputFrames_ = info.frames > 0 ? static_cast<std::uint64_t>(info.frames) : 0;
    return FileResult();
}

bool RecordingReader::OpenSamples(const std::uint8_t* bytes, std::size_t size, double rate,
                                  double analysisRate) {
    if (!Start(rate, 1, analysisRate))
        return false;
    memory_ = bytes;
    memoryFrames_ = bytes ? size / 2 : 0;
    inputFrames_ = memoryFrames_;
    return true;
}

std::uint64_t RecordingReader::ExpectedSamples() const {
    return static_cast<std::uint64_t>(std::ceil(static_cast<double>(inputFrames_) * ratio_));
}

bool RecordingReader::ReadInput() {
    if (inputEnded_)
        return false;
    // Keep what the resampler has not taken yet at the front.
    mono_.erase(mono_.begin(), mono_.begin() + static_cast<std::ptrdiff_t>(monoStart_));
    monoStart_ = 0;
    std::size_t got = 0;
    if (file_) {
        interleaved_.resize(kChunkFrames * static_cast<std::size_t>(channels_));
        const sf_count_t n = sf_readf_float(file_.get(), interleaved_.data(), kChunkFrames);
        got = n > 0 ? static_cast<std::size_t>(n) : 0;
        const std::size_t at = mono_.size();
        mono_.resize(at + got);
        const float scale = 1.0f / static_cast<float>(channels_);
        for (std::size_t f = 0; f < got; ++f) {
            const float* frame = &interleaved_[f * static_cast<std::size_t>(channels_)];
            float sum = 0.0f;
            for (int c = 0; c < channels_; ++c)
                sum += frame[c];
            mono_[at + f] = channels_ == 1 ? sum : sum * scale;
        }
    } else {
        got = std::min(kChunkFrames, memoryFrames_ - memoryPosition_);
        const std::size_t at = mono_.size();
        mono_.resize(at + got);
        for (std::size_t f = 0; f < got; ++f) {
            const std::uint8_t* b = memory_ + 2 * (memoryPosition_ + f);
            const auto sample = static_cast<std::int16_t>(b[0] | (b[1] << 8));
            mono_[at + f] = static_cast<float>(sample) / 32768.0f;
        }
        memoryPosition_ += got;
    }
    if (got == 0)
        inputEnded_ = true;
    return got > 0;
}

bool RecordingReader::Refill() {
    ready_.clear();
    readyStart_ = 0;
    while (ready_.empty() && !outputEnded_) {
        const bool more = ReadInput();
        if (!resampler_) {
            ready_.swap(mono_);
            mono_.clear();
            outputEnded_ = !more;
            continue;
        }
        // The converter holds back a few samples of its own until told that input ended.
        ready_.resize(static_cast<std::size_t>((mono_.size() + kChunkFrames) * ratio_) + 64);
        SRC_DATA data{};
        data.data_in = mono_.data();
        data.input_frames = static_cast<long>(mono_.size());
        data.data_out = ready_.data();
        data.output_frames = static_cast<long>(ready_.size());
        data.end_of_input = inputEnded_ ? 1 : 0;
        data.src_ratio = ratio_;
        if (src_process(resampler_.get(), &data) != 0) {
            ready_.clear();
            outputEnded_ = true;
            break;
        }
        monoStart_ = static_cast<std::size_t>(data.input_frames_used);
        ready_.resize(static_cast<std::size_t>(data.output_frames_gen));
        if (inputEnded_ && data.output_frames_gen == 0 && monoStart_ >= mono_.size())
            outputEnded_ = true;
    }
    return !ready_.empty();
}

std::size_t RecordingReader::Read(float* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (readyStart_ >= ready_.size() && !Refill())
            break;
        const std::size_t n = std::min(count - done, ready_.size() - readyStart_);
        std::memcpy(out + done, ready_.data() + readyStart_, n * sizeof(float));
        readyStart_ += n;
        done += n;
    }
    return done;
}

std::size_t RecordingReader::Read(std::int16_t* out, std::size_t count) {
    float block[1024];
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = Read(block, std::min(count - done, std::size(block)));
        for (std::size_t i = 0; i < got; ++i) {
            const float v = std::clamp(std::nearbyint(block[i] * 32768.0f), -32768.0f, 32767.0f);
            out[done + i] = static_cast<std::int16_t>(v);
        }
        done += got;
        if (got == 0)
            break;
    }
    return done;
}
