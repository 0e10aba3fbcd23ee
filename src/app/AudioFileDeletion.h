#pragma once

#include <filesystem>
#include <vector>

#include "util/AString.h"

// Whether Delete Audio may offer to delete the sound file of a cue along with it. Only
// the cue's own wave file qualifies: a regular ".wav" file named relative to the song's
// folder, reached without any link and still inside that folder, that no other cue of
// any open song names. Anything else keeps the file and says why.
struct AudioFileDeletion {
    struct OtherCue {
        AString name;       // the file name the cue holds
        AString songFolder; // the folder of the song it belongs to
    };

    std::filesystem::path path; // the file that would go
    AString reason;             // why it may not; empty when it may

    bool Allowed() const { return reason.IsEmpty(); }

    static AudioFileDeletion Check(const AString& name, const AString& songFolder,
                                   const std::vector<OtherCue>& otherCues);
};
