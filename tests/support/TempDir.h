#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes `bytes` to a file in the folder and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;
    static std::string Read(const std::filesystem::path& file);
    // The names in a folder, sorted.
    static std::vector<std::string> Names(const std::filesystem::path& folder);
    std::vector<std::string> Names() const { return Names(path_); }

private:
    std::filesystem::path path_;
};
