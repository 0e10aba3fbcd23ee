#pragma once

#include <cstddef>
#include <string>
#include <vector>

class INIFile;

// The most recently used song files, most recent first, kept in the settings under
// "FILE_HISTORY_1" to "FILE_HISTORY_5".
class FileHistory {
public:
    static constexpr std::size_t kMaxEntries = 5;

    // Reads "FILE_HISTORY_1", "FILE_HISTORY_2", ... up to the first missing or empty key.
    void Load(INIFile& ini);
    // Writes the entries and blanks the keys of entries that are gone, so that a shorter
    // list does not bring old names back at the next start.
    void Save(INIFile& ini) const;

    // Puts `file` in front, dropping an older mention of it and whatever falls off the end.
    void AddFront(const std::string& file);
    // Takes entry `index` out; "" when there is none.
    std::string Take(std::size_t index);
    // Replaces the first entry (after a rename), or adds one.
    void ReplaceFirst(const std::string& file);
    void DropLast();

    const std::vector<std::string>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }

    static std::string KeyName(std::size_t index);

private:
    std::vector<std::string> entries_;
};
