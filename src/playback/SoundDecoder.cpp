#include "playback/SoundDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "util/RegularFile.h"

namespace {

// Longest sound we decode: an hour of stereo at 48 kHz.
constexpr sf_count_t kMaxFrames = sf_count_t(3600) * 48000;

struct MemoryFile {
    std::span<const std::uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t MemoryLength(void* data) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(data)->bytes.size());
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* data) {
    auto* file = static_cast<MemoryFile*>(data);
    const auto size = static_cast<sf_count_t>(file->bytes.size());
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = file->position;
    else if (whence == SEEK_END)
        base = size;
    file->position = std::clamp<sf_count_t>(base + offset, 0, size);
    return file->position;
}

sf_count_t MemoryRead(void* out, sf_count_t count, void* data) {
    auto* file = static_cast<MemoryFile*>(data);
    const auto size = static_cast<sf_count_t>(file->bytes.size());
    const sf_count_t n =
        std::clamp<sf_count_t>(size - file->position, 0, std::max<sf_count_t>(count, 0));
    std::memcpy(out, file->bytes.data() + file->position, static_cast<std::size_t>(n));
    file->position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t MemoryTell(void* data) {
    return static_cast<MemoryFile*>(data)->position;
}

// Reads every frame of an open file, mixes it to stereo and brings it to `rate`.
std::shared_ptr<SoundBuffer> Decode(SNDFILE* file, const SF_INFO& info, int rate, AString& error) {
    if (info.channels < 1 || info.samplerate < 1) {
        error = "The file holds no sound.";
        return nullptr;
    }
    if (info.frames > kMaxFrames) {
        error = "The sound is longer than an hour.";
        return nullptr;
    }
    std::vector<float> stereo;
    stereo.reserve(static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0)) * 2);
    std::vector<float> chunk(static_cast<std::size_t>(4096 * info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file, chunk.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = &chunk[static_cast<std::size_t>(f * info.channels)];
            stereo.push_back(frame[0]);
            stereo.push_back(info.channels > 1 ? frame[1] : frame[0]);
        }
        if (static_cast<sf_count_t>(stereo.size() / 2) > kMaxFrames) {
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
    const auto outFrames = static_cast<std::size_t>(std::floor(inFrames / step));
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
    // A folder or a pipe named as a cue is refused at once; a pipe would wait forever.
    int fd = -1;
    if (const FileResult opened = RegularFile::Open(file, fd); !opened) {
        error = "The file " + AString(file.string()) +
                (opened.Code() == ENOENT ? AString(" does not exist.")
                                         : " cannot be read (" + AString(opened.Reason()) + ").");
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* handle = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (!handle) {
        ::close(fd);
        error = "The file " + AString(file.string()) + " is not a sound file that can be read (" +
                AString(sf_strerror(nullptr)) + ").";
        return nullptr;
    }
    auto sound = Decode(handle, info, sampleRate, error);
    sf_close(handle);
    ::close(fd);
    return sound;
}

std::shared_ptr<SoundBuffer> DecodeSoundMemory(std::span<const std::uint8_t> bytes, int sampleRate,
                                               AString& error) {
    MemoryFile memory{bytes, 0};
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    SF_INFO info{};
    SNDFILE* handle = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!handle) {
        error = "The sound is not in a format that can be read (" + AString(sf_strerror(nullptr)) +
                ").";
        return nullptr;
    }
    auto sound = Decode(handle, info, sampleRate, error);
    sf_close(handle);
    return sound;
}
