#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Wave files byte by byte, so that each test shows the structure it means, and the
// signals that go into them.
namespace wavebytes {

std::string Le16(unsigned value);
std::string Le32(std::uint32_t value);
// id, size, data and the pad byte of odd sizes.
std::string Chunk(const std::string& id, const std::string& data);
// A "fmt " chunk; a non-empty `extra` follows its 16-bit count.
std::string Fmt(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits,
                const std::string& extra = "");
// "RIFF", the size of the rest, "WAVE", then the chunks.
std::string Riff(const std::vector<std::string>& chunks);
std::string Samples(const std::vector<std::int16_t>& samples);
std::string MonoWave(const std::vector<std::int16_t>& samples, std::uint32_t rate = 44100);

// Harmonics 1..n falling off as 1/h, plus uniform noise of `hiss` when not 0, at 44.1 kHz.
std::vector<std::int16_t> Tone(double frequency, double amplitude, int harmonics, double seconds,
                               double hiss = 0, unsigned seed = 1);
std::vector<std::int16_t> Silence(double seconds);
void Append(std::vector<std::int16_t>& to, const std::vector<std::int16_t>& more);

} // namespace wavebytes
