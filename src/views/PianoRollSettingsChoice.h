#pragma once

#include "model/ViewOptions.h"

// The fields of the "Piano Roll Settings" dialog apart from its controls.
struct PianoRollSettingsChoice {
    int quarterLength = 30; // "Set the Quarter Note Display Length:", 10 to 50 pixels
    int pianoType = 0;      // "Print Piano Type:" index
    int colorMode = kColorByVolume;
    bool displayTempo = false;
    bool lyrics = true;
    bool comments = false;
    bool trackName = false;
    bool changeAllTracks = false; // starts unchecked every time

    static PianoRollSettingsChoice From(const ViewOptions& options);
    // Stores the choice; each field's changed flag is raised only when its value changed.
    void ApplyTo(ViewOptions& options) const;

    static constexpr const char* kPianoTypes[3] = {"88 Key Full Piano", "61 Key Short Piano",
                                                   "Fit To Song"};
    static constexpr const char* kColorModes[4] = {"Volume", "Instrument", "Channel", "Track"};
};
