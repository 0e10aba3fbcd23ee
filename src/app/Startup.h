#pragma once

#include <filesystem>
#include <memory>
#include <string>

class INIFile;

// What every run of the program sets up before it does anything with songs: the home
// directory (created and seeded with the shipped defaults), the process-wide settings
// object and the loaders the model uses.
class ProgramEnvironment {
public:
    ProgramEnvironment();
    ProgramEnvironment(const ProgramEnvironment&) = delete;
    ProgramEnvironment& operator=(const ProgramEnvironment&) = delete;
    ~ProgramEnvironment();
    // False with `error` set when the home directory cannot be made ready.
    bool Start(std::string& error);

    const std::filesystem::path& Home() const { return home_; }
    const std::filesystem::path& Resources() const { return resources_; }
    INIFile& Settings() const { return *ini_; }

private:
    std::filesystem::path home_;
    std::filesystem::path resources_;
    std::unique_ptr<INIFile> ini_;
};
