#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "util/FileResult.h"

// The format record of a wave: the 16 bytes every "fmt " chunk starts with, then the
// extra bytes of formats other than PCM (none for PCM).
struct WaveFormat {
    static constexpr std::uint16_t kPcm = 1;
    static constexpr std::uint16_t kExtensible = 0xFFFE;

    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
    std::vector<std::uint8_t> extra;

    // Whether the samples are plain integers, as the format tag says: PCM, or the
    // extensible form whose sub-format is PCM. A-law, mu-law, floating point and
    // compressed data are not, whatever their bits per sample claim.
    bool IsIntegerPcm() const;
};

enum class WaveResult { Ok, Fail, InvalidArgument, NotOpen, NotImplemented };

enum class WaveMode { Read, Write };

// Reads RIFF/WAVE files: checks the chunk structure, keeps the format record and hands
// out the sample bytes of the "data" chunk in pieces of the caller's size. The chunks
// may come in any order; unknown ones are skipped.
class CWaveFile {
public:
    CWaveFile();
    ~CWaveFile();
    CWaveFile(const CWaveFile&) = delete;
    CWaveFile& operator=(const CWaveFile&) = delete;

    // A name that names no file is looked for among the program's shipped resources;
    // folders, pipes and devices are refused without waiting. Only reading is
    // implemented. A format without channels cannot be read and fails.
    WaveResult Open(const char* fileName, WaveMode mode = WaveMode::Read);
    // Why the last Open of a file failed, with the file's name.
    const FileResult& OpenProblem() const { return problem_; }
    // Reads a whole wave file image held by the caller, who keeps it alive until Close.
    WaveResult OpenFromMemory(const std::uint8_t* data, std::size_t size,
                              WaveMode mode = WaveMode::Read);
    WaveResult Close();

    bool IsOpen() const { return source_ != Source::None; }
    // Null unless a file is open.
    const WaveFormat* Format() const { return format_.get(); }
    // Bytes of sample data.
    std::uint32_t Size() const { return dataSize_; }
    std::uint32_t Remaining() const { return remaining_; }

    WaveResult Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* bytesRead);
    // Back to the first sample.
    WaveResult ResetFile();

    // True when `data` holds at least a RIFF header's first four bytes, "RIFF".
    static bool IsRiffData(const std::uint8_t* data, std::size_t size);

private:
    enum class Source { None, File, Memory };
    struct ChunkPlace {
        std::uint64_t offset = 0; // first byte of the chunk's data
        std::uint32_t size = 0;
    };

    WaveResult ParseHeader();
    bool FindChunk(const char id[4], ChunkPlace& place);
    bool SeekTo(std::uint64_t offset);
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    std::size_t ReadNext(void* buffer, std::size_t size);
    WaveResult OpenMemoryImage();

    Source source_ = Source::None;
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    const std::uint8_t* memory_ = nullptr;
    std::vector<std::uint8_t> resourceBytes_;
    std::uint64_t sourceSize_ = 0;
    std::uint64_t position_ = 0;

    std::unique_ptr<WaveFormat> format_;
    std::uint64_t riffEnd_ = 0; // end of the RIFF form's chunks, clamped to the source
    std::uint32_t dataSize_ = 0;
    std::uint32_t remaining_ = 0;
    FileResult problem_;
};
