#pragma once

#include <cstdint>

// Scales of the key signature's modes: 0 major, 1 natural minor, 2 harmonic minor,
// 3 pentatonic, 4 whole tone. The key counts sharps (positive) or flats (negative);
// minor modes take the relative minor of that key as their tonic.
bool PitchInKey(int pitch, std::int32_t key, std::int32_t mode);
