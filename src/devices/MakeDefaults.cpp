// Writes the shipped defaults into a folder: `vorlaune_make_defaults resources/home`.
// Generates into a fresh folder first (controller file names depend on what exists),
// then copies the results over, leaving other files of the target alone.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "devices/ShippedDefaults.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlaune_make_defaults FOLDER\n");
        return 2;
    }
    const fs::path target = argv[1];
    std::error_code ec;
    fs::create_directories(target, ec);
    const fs::path scratch = target / ".defaults.new";
    fs::remove_all(scratch, ec);
    if (!fs::create_directory(scratch, ec)) {
        std::fprintf(stderr, "Cannot create %s: %s\n", scratch.c_str(), ec.message().c_str());
        return 1;
    }
    std::string error;
    bool ok = WriteShippedDefaults(scratch, error);
    if (ok) {
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
            fs::copy_file(entry.path(), target / entry.path().filename(),
                          fs::copy_options::overwrite_existing, ec);
            if (ec) {
                error = "Cannot copy " + entry.path().string() + ": " + ec.message();
                ok = false;
                break;
            }
        }
    }
    fs::remove_all(scratch, ec);
    if (!ok) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
