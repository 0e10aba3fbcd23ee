#include "model/KeyScale.h"

#include <initializer_list>

namespace {

// Bit n set: n semitones above the tonic belongs to the scale.
constexpr unsigned Steps(std::initializer_list<int> steps) {
    unsigned bits = 0;
    for (int s : steps)
        bits |= 1u << s;
    return bits;
}

constexpr unsigned kMajor = Steps({0, 2, 4, 5, 7, 9, 11});
constexpr unsigned kNaturalMinor = Steps({0, 2, 3, 5, 7, 8, 10});
constexpr unsigned kHarmonicMinor = Steps({0, 2, 3, 5, 7, 8, 11});
constexpr unsigned kPentatonic = Steps({0, 2, 4, 7, 9});
constexpr unsigned kWholeTone = Steps({0, 2, 4, 6, 8, 10});

int Mod12(int value) {
    const int m = value % 12;
    return m < 0 ? m + 12 : m;
}

} // namespace

bool PitchInKey(int pitch, std::int32_t key, std::int32_t mode) {
    // Each sharp moves the major tonic a fifth up, each flat a fifth down.
    int tonic = Mod12(7 * key);
    unsigned scale = kMajor;
    switch (mode) {
    case 1:
        scale = kNaturalMinor;
        tonic = Mod12(tonic + 9);
        break;
    case 2:
        scale = kHarmonicMinor;
        tonic = Mod12(tonic + 9);
        break;
    case 3:
        scale = kPentatonic;
        break;
    case 4:
        scale = kWholeTone;
        break;
    default:
        break;
    }
    return (scale >> Mod12(pitch - tonic)) & 1u;
}
