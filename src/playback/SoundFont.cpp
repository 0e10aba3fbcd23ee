#include "playback/SoundFont.h"

#include <fluidsynth.h>

#include <system_error>

#include "util/INIFile.h"

namespace {

bool IsSoundFont(const std::filesystem::path& file) {
    // Only regular files are looked into: a pipe would keep us waiting.
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) && fluid_is_soundfont(file.c_str());
}

} // namespace

std::filesystem::path FindSoundFont(INIFile* ini, AString* warning) {
    AString configured;
    if (ini)
        configured = ini->ReadValue("SoundFont");
    configured.Trim();
    if (!configured.IsEmpty() && IsSoundFont(configured.str()))
        return configured.str();
    static const char* const kCandidates[] = {
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
    };
    std::filesystem::path found;
    for (const char* candidate : kCandidates)
        if (IsSoundFont(candidate)) {
            found = candidate;
            break;
        }
    if (!configured.IsEmpty() && warning)
        *warning = "The file " + configured +
                   ", named under \"SoundFont\" in VORLAUNE.INI, is not a SoundFont. " +
                   (found.empty()
                        ? AString("No other SoundFont is installed.")
                        : "The built-in synthesizer uses " + AString(found.string()) + " instead.");
    return found;
}
