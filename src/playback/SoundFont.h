#pragma once

#include <filesystem>

class INIFile;

// The SoundFont of the built-in synthesizer: the "SoundFont" setting when it names a
// file, else the first General MIDI font of the system that exists. Empty when none.
std::filesystem::path FindSoundFont(INIFile* ini);
