#include "record/PitchConversions.h"

#include <cmath>

namespace {

// The pitch of note -3: 440 Hz is 6.875 Hz raised by six octaves.
constexpr double kBaseFrequency = 6.875;

const char* const kLetters[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

} // namespace

double FrequencyOfNote(double note) {
    return kBaseFrequency * std::pow(2.0, (note + 3.0) / 12.0);
}

double FractionalNote(double frequency) {
    return 12.0 * (std::log(frequency / kBaseFrequency) / std::log(2.0)) - 3.0;
}

const char* NoteLetter(int note) {
    return kLetters[((note % 12) + 12) % 12];
}

std::string NoteName(int note) {
    return NoteLetter(note) + std::to_string(note / 12);
}
