#pragma once

#include <string>

// Pitch arithmetic shared by the live pitch trace and the wave-to-notes converter.
// Note 69 is 440 Hz, note 60 is middle C and reads "C5".

// Frequency in Hz of a (possibly fractional) MIDI note.
double FrequencyOfNote(double note);

// The fractional MIDI note of a frequency in Hz; the frequency must be positive.
double FractionalNote(double frequency);

// "C", "C#", ... "B" for the note's place in its octave.
const char* NoteLetter(int note);

// Letter and note / 12: "C5" for 60, "A#1" for 22.
std::string NoteName(int note);
