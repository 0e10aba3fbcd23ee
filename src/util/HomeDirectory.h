#pragma once

#include <filesystem>
#include <string>

// Where the program keeps its settings and definitions: $VORLAUNE_HOME when set, else
// $XDG_DATA_HOME/vorlaune, else ~/.local/share/vorlaune. Created when missing.
// On failure returns an empty path and sets `error`.
std::filesystem::path ResolveHomeDirectory(std::string* error = nullptr);

// The folder of shipped read-only files (defaults, fonts, demo song). $VORLAUNE_RESOURCES
// when set; else the installed data folder, PREFIX/share/vorlaune for PREFIX/bin/vorlaune;
// else the folder `resources` beside the executable, which the build tree links to the
// source tree's resources/.
std::filesystem::path ResourceDirectory();

// Copies each shipped default (resources/home/*) that the home directory lacks. Never
// overwrites what is there. Returns the number of files copied, -1 on failure.
int SeedHomeDirectory(const std::filesystem::path& home, const std::filesystem::path& resources,
                      std::string* error = nullptr);
