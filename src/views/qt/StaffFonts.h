#pragma once

#include <filesystem>
#include <string>

// The message shown when the music fonts cannot be had; the program ends after it.
extern const char kStaffFontsMissing[];

// Makes "Vorlan" and "VorlanB" (VORLAN.TTF, VORLANB.TTF) available to the program, from
// the fonts folder of the shipped resources or, when run from its build tree, from where
// the build made them. Needs a QGuiApplication. Loading twice does no harm.
bool LoadStaffFonts(const std::filesystem::path& resources);
