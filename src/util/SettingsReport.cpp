#include "util/SettingsReport.h"

#include <algorithm>

SettingsReport& SettingsReport::Global() {
    static SettingsReport report;
    return report;
}

void SettingsReport::Add(std::string file, std::string what) {
    Entry entry{std::move(file), std::move(what)};
    std::lock_guard lock(mutex_);
    if (std::find(entries_.begin(), entries_.end(), entry) == entries_.end())
        entries_.push_back(std::move(entry));
}

std::vector<SettingsReport::Entry> SettingsReport::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

bool SettingsReport::Empty() const {
    std::lock_guard lock(mutex_);
    return entries_.empty();
}

void SettingsReport::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::string SettingsReport::Text() const {
    std::string text;
    for (const Entry& entry : Entries())
        text += entry.file + ": " + entry.what + "\n";
    return text;
}
