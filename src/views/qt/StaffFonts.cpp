#include "views/qt/StaffFonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <vector>

const char kStaffFontsMissing[] =
    "            Error: Vorlan and VorlanB fonts not registered correctly.\n"
    "Reboot your computer and run Vorlaune again to fix this problem.";

namespace {

bool HasFamily(const QString& family) {
    return QFontDatabase::families().contains(family);
}

} // namespace

bool LoadStaffFonts(const std::filesystem::path& resources) {
    if (HasFamily("Vorlan") && HasFamily("VorlanB"))
        return true;
    std::vector<std::filesystem::path> folders = {resources / "fonts"};
#ifdef VORLAUNE_FONT_BUILD_DIR
    folders.emplace_back(VORLAUNE_FONT_BUILD_DIR);
#endif
    for (const std::filesystem::path& folder : folders) {
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
