#pragma once

#include <filesystem>
#include <string>

// The message shown when the music fonts cannot be had; the program ends after it.
extern const char kStaffFontsMissing[];

// Makes "Vorlan" and "VorlanB" (VORLAN.TTF, VORLANB.TTF) available to the program from
// the fonts folder beside the executable (as the build leaves it), in the installed data
// folder, among the shipped resources, or in $VORLAUNE_FONTS. Needs a QGuiApplication.
// Loading twice does no harm.
bool LoadStaffFonts(const std::filesystem::path& resources);
