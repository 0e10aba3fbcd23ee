#include "playback/SoundDecoder.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "playback/SoundFilePtr.h"

namespace {

// Longest sound we keep, once brought to the output's rate.
constexpr double kLongestSeconds = 3600;
// Sample rates outside these are damaged or made up; resampling them would be absurd.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;
// Frames reserved before reading: 8 MB of stereo samples.
constexpr sf_count_t kReserveFrames = sf_count_t(1) << 20;

// An open file descriptor, closed with the object.
struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

struct MemoryFile {
    std::span<const std::uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t MemoryLength(void* data) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(data)->bytes.size());
}

// Positions behave as a file's do: one past the end is allowed and reads nothing there,
// one before the start is refused. Decoders skip chunks by their stated sizes and come
// back, so a position held at the end would lead them astray.
sf_count_t MemorySeek(sf_count_t offset, int whence, void* data) {
    auto* file = static_cast<MemoryFile*>(data);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = file->position;
    else if (whence == SEEK_END)
        base = static_cast<sf_count_t>(file->bytes.size());
    sf_count_t position = 0;
    if (__builtin_add_overflow(base, offset, &position) || position < 0)
        return -1;
    file->position = position;
    return position;
}

sf_count_t MemoryRead(void* out, sf_count_t count, void* data) {
    auto* file = static_cast<MemoryFile*>(data);
    const auto size = static_cast<sf_count_t>(file->bytes.size());
    if (count <= 0 || file->position >= size)
        return 0;
    const sf_count_t n = std::min(size - file->position, count);
    std::memcpy(out, file->bytes.data() + file->position, static_cast<std::size_t>(n));
    file->position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

// A float file may hold NaN or infinity, and one such sample mixed in would spoil the
// whole output: it is taken as silence.
float Audible(float sample) {
    return std::isfinite(sample) ? sample : 0.0f;
}

sf_count_t MemoryTell(void* data) {
    return static_cast<MemoryFile*>(data)->position;
}

// Reads every frame of an open file, mixes it to stereo and brings it to `rate`.
std::shared_ptr<SoundBuffer> Decode(SNDFILE* file, const SF_INFO& info, int rate, AString& error) {
    if (info.channels < 1) {
        error = "The file holds no sound.";
        return nullptr;
    }
    if (info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
        error = "The sound's sample rate (" + AString::FromInt(info.samplerate) +
                " Hz) is not one that can be played: it must lie between " +
                AString::FromInt(kLowestRate) + " and " + AString::FromInt(kHighestRate) + " Hz.";
        return nullptr;
    }
    // The limit holds for the sound as it will be kept, after resampling; the header's
    // length is checked before anything is allocated, the frames read as they come.
    const double outPerIn = static_cast<double>(rate) / info.samplerate;
    const auto maxIn = static_cast<sf_count_t>(kLongestSeconds * info.samplerate);
    if (info.frames > maxIn) {
        error = "The sound is longer than an hour.";
        return nullptr;
    }
    std::vector<float> stereo;
    // The header's length may be a lie (a few bytes of file can claim most of an hour at
    // a high rate): no more than a few seconds are reserved up front, the rest grows as
    // it is read.
    stereo.reserve(
        static_cast<std::size_t>(std::clamp<sf_count_t>(info.frames, 0, kReserveFrames)) * 2);
    std::vector<float> chunk(static_cast<std::size_t>(4096 * info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file, chunk.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = &chunk[static_cast<std::size_t>(f * info.channels)];
            stereo.push_back(Audible(frame[0]));
            stereo.push_back(Audible(info.channels > 1 ? frame[1] : frame[0]));
        }
        if (static_cast<sf_count_t>(stereo.size() / 2) > maxIn) {
            error = "The sound is longer than an hour.";
            return nullptr;
        }
    }
    auto sound = std::make_shared<SoundBuffer>();
    sound->sampleRate = rate;
    if (info.samplerate == rate) {
        sound->samples = std::move(stereo);
        return sound;
    }
    // Linear interpolation is enough for cue sounds at ordinary rates.
    const std::size_t inFrames = stereo.size() / 2;
    const double step = static_cast<double>(info.samplerate) / rate;
    const auto outFrames = static_cast<std::size_t>(
        std::min(std::floor(static_cast<double>(inFrames) * outPerIn), kLongestSeconds * rate));
    sound->samples.resize(outFrames * 2);
    for (std::size_t i = 0; i < outFrames; ++i) {
        const double at = i * step;
        const auto j = static_cast<std::size_t>(at);
        const double frac = at - static_cast<double>(j);
        const std::size_t k = std::min(j + 1, inFrames - 1);
        for (int c = 0; c < 2; ++c)
            sound->samples[2 * i + c] =
                static_cast<float>(stereo[2 * j + c] * (1.0 - frac) + stereo[2 * k + c] * frac);
    }
    return sound;
}

} // namespace

std::shared_ptr<SoundBuffer> DecodeSoundFile(const std::filesystem::path& file, int sampleRate,
                                             AString& error) {
    const AString name(file.string());
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        error = "The file " + name + " does not exist.";
        return nullptr;
    }
    // Devices and pipes could feed us without end, or keep us waiting for ever.
    if (!std::filesystem::is_regular_file(status)) {
        error = name + " is not an ordinary file.";
        return nullptr;
    }
    // Opened without waiting and checked again: what was swapped in meanwhile is refused.
    Descriptor descriptor(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat opened {};
    if (descriptor.fd < 0 || ::fstat(descriptor.fd, &opened) != 0) {
        error = "The file " + name + " cannot be opened (" + AString(std::strerror(errno)) + ").";
        return nullptr;
    }
    if (!S_ISREG(opened.st_mode)) {
        error = name + " is not an ordinary file.";
        return nullptr;
    }
    SF_INFO info{};
    const SoundFilePtr handle(sf_open_fd(descriptor.fd, SFM_READ, &info, SF_FALSE));
    if (!handle) {
        error = "The file " + name + " is not a sound file that can be read (" +
                AString(sf_strerror(nullptr)) + ").";
        return nullptr;
    }
    return Decode(handle.get(), info, sampleRate, error);
}

std::shared_ptr<SoundBuffer> DecodeSoundMemory(std::span<const std::uint8_t> bytes, int sampleRate,
                                               AString& error) {
    MemoryFile memory{bytes, 0};
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    SF_INFO info{};
    const SoundFilePtr handle(sf_open_virtual(&io, SFM_READ, &info, &memory));
    if (!handle) {
        error = "The sound is not in a format that can be read (" + AString(sf_strerror(nullptr)) +
                ").";
        return nullptr;
    }
    return Decode(handle.get(), info, sampleRate, error);
}
