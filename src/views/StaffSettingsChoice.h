#pragma once

#include <cstdint>

#include "model/ViewOptions.h"

// The fields of the "Staff Settings" dialog apart from its controls: list indexes, the
// two percentages and the scroll bar position, as the dialog shows them.
struct StaffSettingsChoice {
    int clef = 0;           // "Clef Type:" index = the clef
    int split = 7;          // "Split at Pitch:" index: C6 (0) down to C4 (14)
    int mergePercent = 1;   // "Time Group Merge %:", 0 to 25
    int beamPercent = 2;    // "Beam Note Tolerance %:", 0 to 25
    int scalePosition = 25; // "Printout Scale (to right is larger):", 0 to 50
    bool displayTempo = false;
    bool lyrics = true;
    bool comments = false;
    bool trackName = false;
    bool applyToAllTracks = false; // starts unchecked every time

    static StaffSettingsChoice From(const ViewOptions& options);
    // Stores the choice; each field's changed flag is raised only when its value changed.
    void ApplyTo(ViewOptions& options) const;

    static constexpr const char* kClefNames[6] = {
        "Grand(Treble/Bass)", "Treble", "Bass", "Alto", "Tenor", "Octave-Treble"};
    static constexpr const char* kSplitNames[15] = {"C6", "B5", "A5", "G5", "F5", "E5", "D5", "C5",
                                                    "B4", "A4", "G4", "F4", "E4", "D4", "C4"};
};
