#pragma once

#include <mutex>
#include <string>
#include <vector>

// What the program set aside while reading its settings and definition files: a value
// outside its range, a value that is no number, a file it could not use. The command
// line prints the list at start; the windows show it in one message box.
class SettingsReport {
public:
    struct Entry {
        std::string file; // "VORLAUNE.INI", "GENERAL.MDV", ...
        std::string what; // "NumPlayEachTime=5 is outside 10 to 400; 200 is used"
        bool operator==(const Entry&) const = default;
    };

    static SettingsReport& Global();

    // The same entry twice is kept once.
    void Add(std::string file, std::string what);
    std::vector<Entry> Entries() const;
    bool Empty() const;
    void Clear();
    // One line per entry, "FILE: WHAT", each ending in a line break.
    std::string Text() const;

private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
