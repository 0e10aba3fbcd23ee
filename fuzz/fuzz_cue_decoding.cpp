#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>

#include "FuzzSupport.h"
#include "playback/SoundDecoder.h"

// Bytes as an audio cue's sound file, read from a file as the player does and from
// memory as the take player does: both readings agree, and what is kept is stereo at
// the asked rate, no longer than an hour and made of finite samples.
namespace {

constexpr double kLongestSeconds = 3600;

void Check(const std::shared_ptr<SoundBuffer>& sound, const AString& error, int rate) {
    if (!sound) {
        if (error.IsEmpty())
            FailBecause("A sound was refused without a reason");
        return;
    }
    if (sound->sampleRate != rate || sound->samples.size() % 2 != 0)
        FailBecause("A sound is not stereo at the asked rate");
    if (static_cast<double>(sound->Frames()) > kLongestSeconds * rate)
        FailBecause("A sound is longer than an hour");
    for (float sample : sound->samples)
        if (!std::isfinite(sample))
            FailBecause("A sound holds a sample that is not a number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Both rates the program plays at: the synthesizer's and a device's usual one.
    const int rate = size % 2 == 0 ? 44100 : 48000;
    const std::filesystem::path file = FuzzHome() / "cue.snd";
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        const bool written = std::fwrite(data, 1, size, out) == size;
        if (std::fclose(out) != 0 || !written)
            std::abort();
    } else {
        std::abort();
    }
    AString fromFileError, fromMemoryError;
    const std::shared_ptr<SoundBuffer> fromFile = DecodeSoundFile(file, rate, fromFileError);
    Check(fromFile, fromFileError, rate);
    const std::shared_ptr<SoundBuffer> fromMemory =
        DecodeSoundMemory(std::span(data, size), rate, fromMemoryError);
    Check(fromMemory, fromMemoryError, rate);
    if (!fromFile != !fromMemory)
        FailBecause("A sound reads from a file and not from memory, or the other way",
                    (fromFile ? fromMemoryError : fromFileError).str());
    if (fromFile && fromFile->samples != fromMemory->samples)
        FailBecause("A sound reads differently from a file and from memory");
    return 0;
}
