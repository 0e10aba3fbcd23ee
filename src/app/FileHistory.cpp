#include "app/FileHistory.h"

#include <algorithm>

#include "util/INIFile.h"

std::string FileHistory::KeyName(std::size_t index) {
    return "FILE_HISTORY_" + std::to_string(index + 1);
}

void FileHistory::Load(INIFile& ini) {
    entries_.clear();
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        AString value;
        if (!ini.ReadString(AString(KeyName(i)), value) || value.IsEmpty())
            break;
        entries_.push_back(value.str());
    }
}

void FileHistory::Save(INIFile& ini) const {
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        const AString key(KeyName(i));
        if (i < entries_.size()) {
            ini.WriteString(key, AString(entries_[i]));
            continue;
        }
        AString old;
        if (ini.ReadString(key, old) && !old.IsEmpty())
            ini.WriteString(key, "");
    }
}

void FileHistory::AddFront(const std::string& file) {
    std::erase(entries_, file);
    entries_.insert(entries_.begin(), file);
    if (entries_.size() > kMaxEntries)
        entries_.resize(kMaxEntries);
}

std::string FileHistory::Take(std::size_t index) {
    if (index >= entries_.size())
        return {};
    std::string file = entries_[index];
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return file;
}

void FileHistory::ReplaceFirst(const std::string& file) {
    if (entries_.empty()) {
        entries_.push_back(file);
        return;
    }
    entries_.front() = file;
    // The new name may have been further down already.
    const auto later = std::find(entries_.begin() + 1, entries_.end(), file);
    if (later != entries_.end())
        entries_.erase(later);
}

void FileHistory::DropLast() {
    if (!entries_.empty())
        entries_.pop_back();
}
