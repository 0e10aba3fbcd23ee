#include "playback/SoundFont.h"

#include <system_error>

#include "util/INIFile.h"

std::filesystem::path FindSoundFont(INIFile* ini) {
    std::error_code ec;
    if (ini) {
        AString configured = ini->ReadValue("SoundFont");
        configured.Trim();
        if (!configured.IsEmpty() && std::filesystem::is_regular_file(configured.str(), ec))
            return configured.str();
    }
    static const char* const kCandidates[] = {
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
    };
    for (const char* candidate : kCandidates)
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate;
    return {};
}
