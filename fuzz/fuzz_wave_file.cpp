#include <cstdint>
#include <vector>

#include "record/CWaveFile.h"
#include "record/WaveToNotes.h"

// A wave image from anywhere: the reader must refuse it cleanly or deliver exactly its
// data, and the converter must survive whatever samples and rate it carries.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CWaveFile wave;
    if (wave.OpenFromMemory(data, size) != WaveResult::Ok)
        return 0;
    const std::uint32_t total = wave.Size();
    std::vector<std::uint8_t> samples(total);
    std::uint32_t at = 0;
    std::uint32_t piece = 1 + (size % 7);
    std::uint32_t got = 0;
    while (wave.Read(samples.data() + at, piece, &got) == WaveResult::Ok && got > 0) {
        at += got;
        if (at > total)
            __builtin_trap();
        piece = piece * 3 + 1;
    }
    if (at != total || wave.ResetFile() != WaveResult::Ok || wave.Remaining() != total)
        __builtin_trap();

    const WaveFormat* format = wave.Format();
    if (format->channels < 2 && format->bitsPerSample == 16) {
        WaveToNotesParameters p;
        p.samples = samples.data();
        p.sampleBytes = samples.size();
        p.sampleRate = format->samplesPerSec;
        p.lowPitch = 60; // short frames keep each run quick
        WaveToNotes converter;
        std::vector<DetectedNote> notes;
        int voiced = 0;
        converter.Convert(p, notes, voiced);
    }
    return 0;
}
