#pragma once

#include <filesystem>
#include <string>

// Writes the files the program ships into a new home directory: the General MIDI device
// "GENERAL.MDV" with one ".CTR" file per controller it lists, the built-in chord table
// as "chords.mid", and "VORLAUNE.INI" with the default key table. `directory` must exist and hold
// none of them yet, since controller file names are derived from what is already there.
bool WriteShippedDefaults(const std::filesystem::path& directory, std::string& error);
