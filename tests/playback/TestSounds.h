#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The small General MIDI font loads fast; any other will do. Empty when none is installed.
inline std::filesystem::path TestSoundFont() {
    for (const char* candidate :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
          "/usr/share/sounds/sf2/default-GM.sf2"})
        if (std::filesystem::exists(candidate))
            return candidate;
    return {};
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
    const auto u32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    const auto u16 = [](std::uint16_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
    };
    const std::string fmt = u16(1) + u16(static_cast<std::uint16_t>(channels)) +
                            u32(static_cast<std::uint32_t>(rate)) +
                            u32(static_cast<std::uint32_t>(rate * channels * bytesPerSample)) +
                            u16(static_cast<std::uint16_t>(channels * bytesPerSample)) +
                            u16(static_cast<std::uint16_t>(bitsPerSample));
    const std::string body = "WAVE" + std::string("fmt ") + u32(16) + fmt + "data" +
                             u32(static_cast<std::uint32_t>(data.size())) + data;
    return "RIFF" + u32(static_cast<std::uint32_t>(body.size())) + body;
}
