#include "WaveBytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
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

namespace {

constexpr double kRate = 44100.0;

std::int16_t Clip(double v) {
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

} // namespace

Contour& Contour::Hold(double note, double seconds, double vibratoCents) {
    const auto n = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < n; ++i)
        pitch_.push_back(
            note + vibratoCents / 100.0 *
                       std::sin(2.0 * std::numbers::pi * 5.5 * static_cast<double>(i) / kRate));
    last_ = note;
    return *this;
}

Contour& Contour::Glide(double to, double seconds) {
    const auto n = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < n; ++i)
        pitch_.push_back(last_ + (to - last_) * static_cast<double>(i) / static_cast<double>(n));
    last_ = to;
    return *this;
}

Contour& Contour::Rest(double seconds) {
    pitch_.insert(pitch_.end(), static_cast<std::size_t>(seconds * kRate),
                  std::numeric_limits<double>::quiet_NaN());
    return *this;
}

std::vector<double> Render(const Contour& contour, double rate, double amplitude) {
    const std::vector<double>& pitch = contour.Pitch();
    const auto count = static_cast<std::size_t>(static_cast<double>(pitch.size()) * rate / kRate);
    auto at = [&](std::size_t i) {
        return pitch[std::min(pitch.size() - 1,
                              static_cast<std::size_t>(static_cast<double>(i) * kRate / rate))];
    };
    const std::size_t fade = static_cast<std::size_t>(0.005 * rate);
    std::vector<double> out(count, 0.0);
    double phase = 0.0;
    double norm = 0.0;
    for (int h = 1; h <= 8; ++h)
        norm += 1.0 / h;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isnan(at(i))) {
            phase = 0.0;
            continue;
        }
        // Distance to the nearest silence on either side, for the fades.
        std::size_t edge = fade;
        for (std::size_t k = 1; k < fade; ++k)
            if (i < k || i + k >= count || std::isnan(at(i - k)) || std::isnan(at(i + k))) {
                edge = k;
                break;
            }
        phase += 2.0 * std::numbers::pi * 440.0 * std::pow(2.0, (at(i) - 69.0) / 12.0) / rate;
        double v = 0.0;
        for (int h = 1; h <= 8; ++h)
            v += std::sin(h * phase) / h;
        out[i] = amplitude * v / norm * static_cast<double>(edge) / static_cast<double>(fade);
    }
    return out;
}

std::vector<std::int16_t> Sing(const Contour& contour, double amplitude) {
    const std::vector<double> x = Render(contour, kRate, amplitude);
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = Clip(x[i]);
    return out;
}

std::string EncodeWave(const std::vector<double>& signal, unsigned tag, unsigned channels,
                       std::uint32_t rate, unsigned bits) {
    std::string data;
    for (double v : signal) {
        for (unsigned c = 0; c < channels; ++c) {
            const double x = std::clamp(v / (c + 1), -1.0, 1.0);
            if (tag == 3) {
                const float f = static_cast<float>(x);
                std::uint32_t u = 0;
                std::memcpy(&u, &f, 4);
                data += Le32(u);
            } else if (bits == 8) {
                data += static_cast<char>(std::lround(std::min(255.0, x * 128.0 + 128.0)));
            } else {
                const double top = std::ldexp(1.0, static_cast<int>(bits) - 1);
                const auto n = static_cast<std::int64_t>(std::lround(std::min(top - 1, x * top)));
                for (unsigned b = 0; b < bits / 8; ++b)
                    data += static_cast<char>((static_cast<std::uint64_t>(n) >> (8 * b)) & 0xFF);
            }
        }
    }
    return Riff({Fmt(tag, channels, rate, bits), Chunk("data", data)});
}

std::vector<std::int16_t> Noise(Colour colour, double seconds, double rms, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> white(0.0, 1.0);
    std::vector<double> x(static_cast<std::size_t>(seconds * kRate));
    // Pink by a sum of first-order low-passes an octave or so apart; brown by a leaky sum.
    double b[5] = {};
    const double poles[5] = {0.99765, 0.963, 0.57, 0.2, 0.05};
    const double gains[5] = {0.0990460, 0.2965164, 1.0526913, 0.1848, 0.05};
    double brown = 0.0;
    for (double& v : x) {
        const double w = white(rng);
        if (colour == Colour::White) {
            v = w;
        } else if (colour == Colour::Pink) {
            v = 0.1848 * w;
            for (int k = 0; k < 5; ++k) {
                b[k] = poles[k] * b[k] + gains[k] * w;
                v += b[k];
            }
        } else {
            brown = 0.998 * brown + w;
            v = brown;
        }
    }
    double sum = 0.0;
    for (double v : x)
        sum += v * v;
    const double scale = x.empty() ? 0.0 : rms / std::sqrt(sum / static_cast<double>(x.size()));
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = Clip(x[i] * scale);
    return out;
}

std::vector<std::int16_t> Mix(const std::vector<std::int16_t>& a,
                              const std::vector<std::int16_t>& b) {
    std::vector<std::int16_t> out(std::max(a.size(), b.size()));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = Clip((i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0));
    return out;
}

} // namespace wavebytes
