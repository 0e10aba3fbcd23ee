#include "views/PianoRollSettingsChoice.h"

#include <algorithm>

PianoRollSettingsChoice PianoRollSettingsChoice::From(const ViewOptions& options) {
    PianoRollSettingsChoice c;
    c.quarterLength =
        std::clamp<int>(options.quarterNoteDisplayLength, kShortestQuarter, kLongestQuarter);
    c.pianoType = std::clamp<int>(options.printPianoType, 0, kLastPianoType);
    c.colorMode = std::clamp<int>(options.colorMode, kColorByVolume, kColorByTrack);
    c.displayTempo = options.displayTempo != 0;
    c.lyrics = options.showLyrics != 0;
    c.comments = options.showComments != 0;
    c.trackName = options.showTrackName != 0;
    return c;
}

void PianoRollSettingsChoice::ApplyTo(ViewOptions& options) const {
    options.quarterNoteDisplayLength.Change(
        std::clamp(quarterLength, kShortestQuarter, kLongestQuarter));
    options.printPianoType.Change(std::clamp(pianoType, 0, kLastPianoType));
    options.colorMode.Change(std::clamp(colorMode, int{kColorByVolume}, int{kColorByTrack}));
    options.displayTempo.Change(displayTempo ? 1 : 0);
    options.showLyrics.Change(lyrics ? 1 : 0);
    options.showComments.Change(comments ? 1 : 0);
    options.showTrackName.Change(trackName ? 1 : 0);
    options.applyToAllTracks = changeAllTracks ? 1 : 0;
}
