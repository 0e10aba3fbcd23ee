#pragma once

#include <filesystem>

#include "util/AString.h"

class INIFile;

// The SoundFont of the built-in synthesizer: the "SoundFont" setting when it names a
// SoundFont, else the first General MIDI font of the system that is one. Empty when
// none. A setting that names no SoundFont sets `warning` to say so.
std::filesystem::path FindSoundFont(INIFile* ini, AString* warning = nullptr);
