// The executable: the main window, or one job done from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

int Convert(const CommandLine& line) {
    const std::string from = FileExtension(line.input);
    const std::string to = FileExtension(line.output);
    std::fprintf(stderr, "Cannot convert .%s to .%s: this kind of conversion is not available.\n",
                 from.c_str(), to.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), line, error)) {
        std::fprintf(stderr, "%s\n\n%s", error.c_str(), kUsageText);
        return 2;
    }
    switch (line.mode) {
    case CommandLine::Mode::Help:
        std::fputs(kUsageText, stdout);
        return 0;
    case CommandLine::Mode::Version:
        std::printf("vorlaune %s\n", VORLAUNE_VERSION);
        return 0;
    case CommandLine::Mode::Convert:
        return Convert(line);
    case CommandLine::Mode::Dump:
    case CommandLine::Mode::Play:
    case CommandLine::Mode::ListPorts:
    case CommandLine::Mode::Window:
        break;
    }
    std::fputs("This part of the program is not available yet.\n\n", stderr);
    std::fputs(kUsageText, stderr);
    return 2;
}
