#pragma once

#include <filesystem>

// Chooses Qt's offscreen platform with one screen of the given size (its default screen
// is 800 by 800). Call before the application object exists. Returns the configuration
// file written for it, which the caller removes when done.
std::filesystem::path UseOffscreenScreen(int width, int height);
