#pragma once

#include <filesystem>

#include "util/AString.h"

// Where the sound file an audio cue names lies.
struct CueLocation {
    std::filesystem::path path; // empty when the name leads nowhere
    bool outside = false;       // beyond the song's folder
    AString error;              // why the name leads nowhere
};

// Finds the file an audio cue names: a relative name in the song's folder, never in the
// current one; an absolute name where it says. A file that lies outside the folder, by
// "..", an absolute name or a link, is marked so. Zero bytes ending the name are no part
// of it; a name with one anywhere else leads nowhere. `songFolder` is empty for a song
// that was never saved.
CueLocation LocateCue(const AString& name, const AString& songFolder);
