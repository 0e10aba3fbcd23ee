#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "Usage: vorlaune [FILE]\n"
                      "       vorlaune -o OUT IN\n"
                      "       vorlaune --dump FILE\n"
                      "       vorlaune --help | --version\n"
                      "\n"
                      "A music-composition program for Standard MIDI Files.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--version") == 0)) {
        std::printf("vorlaune %s\n", VORLAUNE_VERSION);
        return 0;
    }
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fputs(kUsage, argc >= 2 ? stderr : stdout);
    return argc >= 2 ? 2 : 0;
}
