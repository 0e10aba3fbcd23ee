#include "app/qt/OffscreenScreen.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

std::filesystem::path UseOffscreenScreen(int width, int height) {
    const std::filesystem::path config = std::filesystem::temp_directory_path() /
                                         ("vorlaune-screen-" + std::to_string(getpid()) + ".json");
    std::ofstream out(config);
    out << "{\"screens\": [{\"name\": \"offscreen\", \"x\": 0, \"y\": 0, \"width\": " << width
        << ", \"height\": " << height
        << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
    const std::string value = "offscreen:configfile=" + config.string();
    setenv("QT_QPA_PLATFORM", value.c_str(), 1);
    return config;
}
