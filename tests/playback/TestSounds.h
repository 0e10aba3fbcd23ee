#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// The small General MIDI font loads fast; any other will do. Empty when none is installed.
inline std::filesystem::path TestSoundFont() {
    for (const char* candidate :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
          "/usr/share/sounds/sf2/default-GM.sf2"})
        if (std::filesystem::exists(candidate))
            return candidate;
    return {};
}

inline std::string LittleEndian32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

inline std::string LittleEndian16(std::uint16_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
}

// A wave file around `data`: format tag 1 (integer PCM) or 3 (float).
inline std::string WaveFile(int formatTag, int rate, int channels, int bitsPerSample,
                            const std::string& data) {
    const int blockAlign = channels * bitsPerSample / 8;
    const std::string fmt = LittleEndian16(static_cast<std::uint16_t>(formatTag)) +
                            LittleEndian16(static_cast<std::uint16_t>(channels)) +
                            LittleEndian32(static_cast<std::uint32_t>(rate)) +
                            LittleEndian32(static_cast<std::uint32_t>(rate * blockAlign)) +
                            LittleEndian16(static_cast<std::uint16_t>(blockAlign)) +
                            LittleEndian16(static_cast<std::uint16_t>(bitsPerSample));
    const std::string body = "WAVE" + std::string("fmt ") + LittleEndian32(16) + fmt + "data" +
                             LittleEndian32(static_cast<std::uint32_t>(data.size())) + data;
    return "RIFF" + LittleEndian32(static_cast<std::uint32_t>(body.size())) + body;
}

// The bytes of a 16-bit PCM wave: `frames` frames of `value`, then as many of silence.
inline std::string WaveBytes(int rate, int channels, int frames, std::int16_t value,
                             int bitsPerSample = 16) {
    const int bytesPerSample = bitsPerSample / 8;
    std::string data;
    for (int f = 0; f < 2 * frames; ++f)
        for (int c = 0; c < channels; ++c) {
            const std::int16_t v = f < frames ? value : 0;
            if (bytesPerSample == 1) {
                data.push_back(static_cast<char>(128 + (v >> 8)));
                continue;
            }
            data.push_back(static_cast<char>(v & 0xFF));
            data.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    return WaveFile(1, rate, channels, bitsPerSample, data);
}

// A mono 32-bit float wave holding `samples`.
inline std::string FloatWaveBytes(int rate, const std::vector<float>& samples) {
    std::string data;
    for (float sample : samples) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &sample, sizeof bits);
        data += LittleEndian32(bits);
    }
    return WaveFile(3, rate, 1, 32, data);
}
