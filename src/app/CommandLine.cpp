#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

const char kUsageText[] =
    "Usage: vorlaune [FILE]                 open the program, with a song\n"
    "       vorlaune -o OUT IN [OPTIONS]    convert without a window; the kinds of\n"
    "                                       IN (.mid .midi .rmi .wav) and OUT\n"
    "                                       (.mid .pdf .png .wav) choose the work\n"
    "       vorlaune --script SCRIPT [FILE] run the windows from a script (see README)\n"
    "       vorlaune --dump FILE            print a song as text\n"
    "       vorlaune --play IN [--port NAME]\n"
    "       vorlaune --list-ports\n"
    "       vorlaune --help | --version\n"
    "Options for -o:\n"
    "       --track N        print only track N (1-based)\n"
    "       --view roll      print the piano roll (--view staff: the notation)\n"
    "       --all-pages      write every page as OUT-1.png, OUT-2.png, ...\n";

std::string FileExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a value.";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            line.mode = CommandLine::Mode::Help;
            return true;
        }
        if (a == "--version") {
            line.mode = CommandLine::Mode::Version;
            return true;
        }
        if (a == "--dump") {
            line.mode = CommandLine::Mode::Dump;
        } else if (a == "--play") {
            line.mode = CommandLine::Mode::Play;
        } else if (a == "--list-ports") {
            line.mode = CommandLine::Mode::ListPorts;
        } else if (a == "-o") {
            line.mode = CommandLine::Mode::Convert;
            if (!value(line.output))
                return false;
        } else if (a == "--script") {
            line.mode = CommandLine::Mode::Window;
            if (!value(line.script))
                return false;
        } else if (a == "--port") {
            if (!value(line.port))
                return false;
        } else if (a == "--track") {
            std::string n;
            if (!value(n))
                return false;
            try {
                std::size_t used = 0;
                line.track = std::stoi(n, &used);
                if (used != n.size() || line.track < 1)
                    throw std::invalid_argument(n);
            } catch (const std::exception&) {
                error = "--track needs a track number from 1 up, not \"" + n + "\".";
                return false;
            }
        } else if (a == "--view") {
            std::string kind;
            if (!value(kind))
                return false;
            if (kind != "roll" && kind != "staff") {
                error = "--view needs \"roll\" or \"staff\", not \"" + kind + "\".";
                return false;
            }
            line.pianoRoll = kind == "roll";
        } else if (a == "--all-pages") {
            line.allPages = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "Unknown option " + a + ".";
            return false;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() > 1) {
        error = "Only one input file may be given.";
        return false;
    }
    if (!files.empty())
        line.input = files[0];
    const bool needsInput = line.mode == CommandLine::Mode::Dump ||
                            line.mode == CommandLine::Mode::Convert ||
                            line.mode == CommandLine::Mode::Play;
    if (needsInput && line.input.empty()) {
        error = "No input file given.";
        return false;
    }
    return true;
}
