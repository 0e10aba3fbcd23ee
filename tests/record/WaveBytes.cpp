#include "WaveBytes.h"

#include <cmath>
#include <numbers>
#include <random>

namespace wavebytes {

std::string Le16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(std::uint32_t value) {
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string Chunk(const std::string& id, const std::string& data) {
    return id + Le32(static_cast<std::uint32_t>(data.size())) + data +
           std::string(data.size() % 2, '\0');
}

std::string Fmt(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits,
                const std::string& extra) {
    const unsigned align = channels * bits / 8;
    std::string body =
        Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
    if (!extra.empty())
        body += Le16(static_cast<unsigned>(extra.size())) + extra;
    return Chunk("fmt ", body);
}

std::string Riff(const std::vector<std::string>& chunks) {
    std::string body = "WAVE";
    for (const std::string& c : chunks)
        body += c;
    return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

std::string Samples(const std::vector<std::int16_t>& samples) {
    std::string out;
    for (std::int16_t s : samples)
        out += Le16(static_cast<std::uint16_t>(s));
    return out;
}

std::string MonoWave(const std::vector<std::int16_t>& samples, std::uint32_t rate) {
    return Riff({Fmt(1, 1, rate, 16), Chunk("data", Samples(samples))});
}

std::vector<std::int16_t> Tone(double frequency, double amplitude, int harmonics, double seconds,
                               double hiss, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> noise(-hiss, hiss);
    double norm = 0.0;
    for (int h = 1; h <= harmonics; ++h)
        norm += 1.0 / h;
    std::vector<std::int16_t> out(static_cast<std::size_t>(seconds * 44100.0));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double v = 0.0;
        for (int h = 1; h <= harmonics; ++h)
            v += std::sin(2.0 * std::numbers::pi * frequency * h * static_cast<double>(i) /
                          44100.0) /
                 h;
        out[i] = static_cast<std::int16_t>(std::lround(amplitude * v / norm + noise(rng)));
    }
    return out;
}

std::vector<std::int16_t> Silence(double seconds) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(seconds * 44100.0), 0);
}

void Append(std::vector<std::int16_t>& to, const std::vector<std::int16_t>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace wavebytes
