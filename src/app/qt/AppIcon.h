#pragma once

#include <QIcon>
#include <filesystem>

// The program's identity on the desktop: the name of its desktop entry, AppStream file
// and icon.
constexpr const char* kDesktopId = "org.vorlaune.Vorlaune";

// The program's icon in every size the build made: beside the executable in the build
// tree (icons/hicolor), else from the installed hicolor theme of the prefix that holds
// `resources`, else from the desktop's icon theme.
QIcon AppIcon(const std::filesystem::path& resources);
