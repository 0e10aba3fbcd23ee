#include "views/qt/StaffFonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <vector>

const char kStaffFontsMissing[] =
    "            Error: Vorlan and VorlanB fonts not registered correctly.\n"
    "Reboot your computer and run Vorlaune again to fix this problem.";

namespace {

bool HasFamily(const QString& family) {
    return QFontDatabase::families().contains(family);
}

} // namespace

// Where the fonts may be: beside the program (its build tree puts them there), in the
// installed data folder next to its bin folder, among the shipped resources, and where
// VORLAUNE_FONTS points (tests and benchmarks run from other folders).
std::vector<std::filesystem::path> FontFolders(const std::filesystem::path& resources) {
    std::vector<std::filesystem::path> folders;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        folders.push_back(exe.parent_path() / "fonts");
        folders.push_back(exe.parent_path().parent_path() / "share" / "vorlaune" / "fonts");
    }
    folders.push_back(resources / "fonts");
    if (const char* env = std::getenv("VORLAUNE_FONTS"); env && *env)
        folders.emplace_back(env);
    return folders;
}

bool LoadStaffFonts(const std::filesystem::path& resources) {
    if (HasFamily("Vorlan") && HasFamily("VorlanB"))
        return true;
    for (const std::filesystem::path& folder : FontFolders(resources)) {
        for (const char* file : {"VORLAN.TTF", "VORLANB.TTF"}) {
            std::error_code ec;
            const std::filesystem::path path = folder / file;
            if (std::filesystem::is_regular_file(path, ec))
                QFontDatabase::addApplicationFont(QString::fromStdString(path.string()));
        }
        if (HasFamily("Vorlan") && HasFamily("VorlanB"))
            return true;
    }
    return false;
}
