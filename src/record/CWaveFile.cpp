#include "record/CWaveFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "util/HomeDirectory.h"
#include "util/RegularFile.h"

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool IsId(const std::uint8_t* p, const char id[4]) {
    return std::memcmp(p, id, 4) == 0;
}

// Shipped waves live in the resources folder under their plain name; anything that
// tries to leave the folder is not a resource name.
bool ReadResource(const char* name, std::vector<std::uint8_t>& bytes) {
    namespace fs = std::filesystem;
    const fs::path leaf = fs::path(name).filename();
    if (leaf.empty() || leaf == "." || leaf == "..")
        return false;
    const fs::path file = ResourceDirectory() / leaf;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

constexpr std::uint64_t kRiffHeaderSize = 12; // "RIFF", size, "WAVE"
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint32_t kFormatSize = 16;
constexpr const char* kNotReadable = "Not a wave file the program can read";

} // namespace

CWaveFile::CWaveFile() = default;

CWaveFile::~CWaveFile() {
    Close();
}

WaveResult CWaveFile::Open(const char* fileName, WaveMode mode) {
    if (fileName == nullptr)
        return WaveResult::InvalidArgument;
    if (mode != WaveMode::Read)
        return WaveResult::NotImplemented;
    Close();
    problem_ = FileResult();
    int fd = -1;
    const FileResult opened = RegularFile::Open(fileName, fd);
    if (opened) {
        std::FILE* f = ::fdopen(fd, "rb");
        struct stat info {};
        if (!f || ::fstat(fd, &info) != 0) {
            problem_ = FileResult::FromErrno(fileName, errno);
            if (f)
                std::fclose(f);
            else
                ::close(fd);
            return WaveResult::Fail;
        }
        file_.reset(f);
        source_ = Source::File;
        sourceSize_ = static_cast<std::uint64_t>(info.st_size);
        position_ = 0;
        const WaveResult result = ParseHeader();
        if (result != WaveResult::Ok) {
            problem_ = FileResult::Refused(fileName, kNotReadable);
            Close();
        }
        return result;
    }
    // Only a name that is no file at all may be a shipped sound.
    std::vector<std::uint8_t> bytes;
    if (opened.Code() != ENOENT || !ReadResource(fileName, bytes)) {
        problem_ = opened;
        return WaveResult::Fail;
    }
    resourceBytes_ = std::move(bytes);
    memory_ = resourceBytes_.data();
    sourceSize_ = resourceBytes_.size();
    return OpenMemoryImage();
}

WaveResult CWaveFile::OpenFromMemory(const std::uint8_t* data, std::size_t size, WaveMode mode) {
    if (mode != WaveMode::Read)
        return WaveResult::NotImplemented;
    if (data == nullptr && size > 0)
        return WaveResult::InvalidArgument;
    Close();
    memory_ = data;
    sourceSize_ = size;
    return OpenMemoryImage();
}

WaveResult CWaveFile::OpenMemoryImage() {
    source_ = Source::Memory;
    position_ = 0;
    const WaveResult result = ParseHeader();
    if (result != WaveResult::Ok)
        Close();
    return result;
}

WaveResult CWaveFile::Close() {
    file_.reset();
    memory_ = nullptr;
    resourceBytes_.clear();
    resourceBytes_.shrink_to_fit();
    source_ = Source::None;
    sourceSize_ = position_ = riffEnd_ = 0;
    format_.reset();
    dataSize_ = remaining_ = 0;
    return WaveResult::Ok;
}

bool WaveFormat::IsIntegerPcm() const {
    if (formatTag == kPcm)
        return true;
    // Valid bits, channel mask, then the sub-format: PCM's tag in the base identifier.
    static constexpr std::uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                       0x10, 0x00, 0x80, 0x00, 0x00, 0xAA,
                                                       0x00, 0x38, 0x9B, 0x71};
    return formatTag == kExtensible && extra.size() >= 22 &&
           std::memcmp(extra.data() + 6, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

bool CWaveFile::IsRiffData(const std::uint8_t* data, std::size_t size) {
    return data != nullptr && size >= 4 && IsId(data, "RIFF");
}

bool CWaveFile::SeekTo(std::uint64_t offset) {
    if (offset > sourceSize_)
        return false;
    if (source_ == Source::File && offset != position_ &&
        fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    position_ = offset;
    return true;
}

bool CWaveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    return SeekTo(offset) && ReadNext(buffer, size) == size;
}

std::size_t CWaveFile::ReadNext(void* buffer, std::size_t size) {
    std::size_t got = 0;
    if (source_ == Source::Memory) {
        const std::uint64_t left = sourceSize_ - std::min(position_, sourceSize_);
        got = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
        if (got > 0)
            std::memcpy(buffer, memory_ + position_, got);
    } else if (source_ == Source::File) {
        got = std::fread(buffer, 1, size, file_.get());
    }
    position_ += got;
    return got;
}

// Walks the chunks of the RIFF form from its first one. A chunk is found only when its
// whole header lies inside the form; its data may run past the file's end, which the
// callers check.
bool CWaveFile::FindChunk(const char id[4], ChunkPlace& place) {
    std::uint64_t at = kRiffHeaderSize;
    while (at + kChunkHeaderSize <= riffEnd_) {
        std::uint8_t header[kChunkHeaderSize];
        if (!ReadAt(at, header, sizeof header))
            return false;
        const std::uint32_t size = Le32(header + 4);
        if (IsId(header, id)) {
            place.offset = at + kChunkHeaderSize;
            place.size = size;
            return true;
        }
        at += kChunkHeaderSize + size + (size & 1u);
    }
    return false;
}

WaveResult CWaveFile::ParseHeader() {
    std::uint8_t riff[kRiffHeaderSize];
    if (!ReadAt(0, riff, sizeof riff) || !IsId(riff, "RIFF") || !IsId(riff + 8, "WAVE"))
        return WaveResult::Fail;
    // Writers that never came back to fill in the size leave it too large; the file's
    // end is the real limit.
    riffEnd_ = std::min<std::uint64_t>(8 + static_cast<std::uint64_t>(Le32(riff + 4)), sourceSize_);

    ChunkPlace fmt;
    if (!FindChunk("fmt ", fmt) || fmt.size < kFormatSize)
        return WaveResult::Fail;
    std::uint8_t bytes[kFormatSize];
    if (!ReadAt(fmt.offset, bytes, sizeof bytes))
        return WaveResult::Fail;
    auto format = std::make_unique<WaveFormat>();
    format->formatTag = Le16(bytes);
    format->channels = Le16(bytes + 2);
    format->samplesPerSec = Le32(bytes + 4);
    format->avgBytesPerSec = Le32(bytes + 8);
    format->blockAlign = Le16(bytes + 12);
    format->bitsPerSample = Le16(bytes + 14);
    if (format->channels == 0)
        return WaveResult::Fail;
    // The extra-size count of other formats must lie inside the chunk, and so must the
    // bytes it announces; a 16-byte chunk simply has none.
    if (format->formatTag != WaveFormat::kPcm && fmt.size >= kFormatSize + 2) {
        std::uint8_t count[2];
        if (!ReadAt(fmt.offset + kFormatSize, count, sizeof count))
            return WaveResult::Fail;
        format->extraSize = Le16(count);
        if (kFormatSize + 2u + format->extraSize > fmt.size)
            return WaveResult::Fail;
        format->extra.resize(format->extraSize);
        if (format->extraSize > 0 &&
            !ReadAt(fmt.offset + kFormatSize + 2, format->extra.data(), format->extraSize))
            return WaveResult::Fail;
    }
    format_ = std::move(format);
    const WaveResult result = ResetFile();
    if (result != WaveResult::Ok)
        format_.reset();
    return result;
}

WaveResult CWaveFile::ResetFile() {
    if (!IsOpen())
        return WaveResult::NotOpen;
    ChunkPlace data;
    if (!FindChunk("data", data))
        return WaveResult::Fail;
    // A recording cut short still holds every sample written before the cut: deliver
    // those rather than refusing the file.
    const std::uint64_t present = sourceSize_ - std::min(data.offset, sourceSize_);
    dataSize_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(data.size, present));
    remaining_ = dataSize_;
    return SeekTo(data.offset) ? WaveResult::Ok : WaveResult::Fail;
}

WaveResult CWaveFile::Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    if (!IsOpen())
        return WaveResult::NotOpen;
    if (buffer == nullptr || bytesRead == nullptr)
        return WaveResult::InvalidArgument;
    const std::uint32_t wanted = std::min(size, remaining_);
    const std::size_t got = ReadNext(buffer, wanted);
    remaining_ -= static_cast<std::uint32_t>(got);
    *bytesRead = static_cast<std::uint32_t>(got);
    return got == wanted ? WaveResult::Ok : WaveResult::Fail;
}
