#include "app/qt/AppIcon.h"

#include <QString>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

} // namespace

QIcon AppIcon(const fs::path& resources) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    // PREFIX/share/vorlaune is the resources folder of an installed program.
    for (const fs::path& theme :
         {exe.parent_path() / "icons" / "hicolor", resources.parent_path() / "icons" / "hicolor"}) {
        QIcon icon;
        for (int size : kSizes) {
            const std::string dimension = std::to_string(size) + "x" + std::to_string(size);
            const fs::path file = theme / dimension / "apps" / (std::string(kDesktopId) + ".png");
            if (fs::is_regular_file(file, ec))
                icon.addFile(QString::fromStdString(file.string()), QSize(size, size));
        }
        if (!icon.isNull())
            return icon;
    }
    return QIcon::fromTheme(kDesktopId);
}
