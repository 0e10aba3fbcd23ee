#pragma once

#include <string>
#include <vector>

#include "util/Refusal.h"

class INIFile;

// The settings the voice-to-notes settings dialog edits, as its lists and sliders
// hold them: list indexes and slider positions, read from and written to the settings.
struct WaveToNoteSettings {
    // The note values of the two minimum-size lists, and their divisors.
    static const std::vector<std::string>& NoteValueNames();
    static double NoteValueDivisor(int index);
    // Notes 108 down to 12 as "C9" ... "C1" (note 60 reads "C5"); index i is note 108 - i.
    static std::vector<std::string> PitchNames();
    static int PitchAt(int index) { return 108 - index; }
    static int IndexOfPitch(int note);
    static const std::vector<std::string>& EraseRestNames();
    // The trackers, by their "WTMMethod" number.
    static const std::vector<std::string>& MethodNames();

    static constexpr int kToleranceLow = 200, kToleranceHigh = 1000, kToleranceStep = 200;
    static constexpr int kNoiseLow = 0, kNoiseHigh = 500, kNoiseStep = 50;

    int minInNote = 0;  // index into NoteValueNames()
    int minOutNote = 0; // index into NoteValueNames()
    int highPitch = 0;  // index into PitchNames()
    int lowPitch = 0;   // index into PitchNames()
    int eraseRest = 0;
    int tolerance = 600; // slider position: the tolerance times 200
    int noise = 0;       // slider position: the minimum volume over 10
    int method = 1;      // "WTMMethod"

    void Read(INIFile& ini);
    // A refusal keeps the dialog open and writes nothing.
    Refusal Check() const;
    bool Write(INIFile& ini) const;
};
