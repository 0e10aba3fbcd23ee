#pragma once

class INIFile;

// Reads, once at start, what the program takes from the home directory: the numeric
// settings, the key table, the chord file and every device and controller definition.
// Whatever is out of range or cannot be used goes to the settings report
// (SettingsReport::Global()), which the command line prints and the windows show.
class StartupFileCheck {
public:
    static void Run(INIFile& ini);
};
