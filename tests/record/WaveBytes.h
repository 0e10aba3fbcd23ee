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

// A sung line as a pitch for every sample at 44.1 kHz (a fractional MIDI note; NaN where
// nothing sounds), built part by part.
class Contour {
public:
    // A note held, with vibrato of the given depth either way at 5.5 per second.
    Contour& Hold(double note, double seconds, double vibratoCents = 0.0);
    // A slide from the last note to another.
    Contour& Glide(double to, double seconds);
    Contour& Rest(double seconds);
    const std::vector<double>& Pitch() const { return pitch_; }

private:
    std::vector<double> pitch_;
    double last_ = 60.0;
};

// A voice-like tone along the contour: eight harmonics falling 6 dB an octave, fading in
// and out over 5 ms wherever sound starts or stops.
std::vector<std::int16_t> Sing(const Contour& contour, double amplitude = 12000);
// The same at any rate, full scale being 1.
std::vector<double> Render(const Contour& contour, double rate, double amplitude);

// A wave file of the signal in the given sample format: tag 1 (integer PCM of 8, 16, 24
// or 32 bits) or 3 (32-bit float). Every channel carries the signal, channel c scaled by
// 1 / (c + 1).
std::string EncodeWave(const std::vector<double>& signal, unsigned tag, unsigned channels,
                       std::uint32_t rate, unsigned bits);

enum class Colour { White, Pink, Brown };
// Noise of the given colour and RMS level, in 16-bit units, at 44.1 kHz.
std::vector<std::int16_t> Noise(Colour colour, double seconds, double rms, unsigned seed = 7);
// The sum of two signals, the longer one's length.
std::vector<std::int16_t> Mix(const std::vector<std::int16_t>& a,
                              const std::vector<std::int16_t>& b);

} // namespace wavebytes
