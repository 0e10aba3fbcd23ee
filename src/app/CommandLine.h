#pragma once

#include <string>
#include <vector>

// What the user asked for on the command line.
struct CommandLine {
    enum class Mode { Window, Help, Version, Dump, Convert, Play, ListPorts };
    Mode mode = Mode::Window;
    std::string input;      // FILE, IN
    std::string output;     // OUT of -o
    std::string port;       // --port NAME
    std::string script;     // --script SCRIPT
    int track = 0;          // --track N (1-based), 0 = every track
    bool pianoRoll = false; // --view roll: print the piano roll instead of the staff
    bool allPages = false;
};

// False with `error` set when the arguments make no sense.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// Lower-case extension without the dot: "mid", "wav", "pdf".
std::string FileExtension(const std::string& path);

extern const char kUsageText[];
