#pragma once

#include <filesystem>

#include "util/AString.h"

// The settings file VORLAUNE.INI in the home directory: a flat list of KEY=VALUE lines.
// Never held open; every read scans the file, every write rewrites it whole. Numbers of
// the settings with a known range (util/KnownSettings) are held to that range, and what
// was changed goes to the settings report.
class INIFile {
public:
    static constexpr const char* kFileName = "VORLAUNE.INI";

    explicit INIFile(std::filesystem::path homeDirectory);
    virtual ~INIFile() = default;

    virtual bool ReadString(const AString& key, AString& value);
    virtual long ReadInt(const AString& key, long defaultValue);
    virtual double ReadDouble(const AString& key, double defaultValue);
    virtual bool WriteDouble(const AString& key, double value);
    virtual bool WriteString(const AString& key, const AString& value);
    virtual bool WriteInt(const AString& key, long value);

    // Reads every numeric setting with a known range once, so that the settings report
    // lists the values that are out of range or no numbers at all.
    void CheckKnownSettings();

    // The value, or "" when missing. The reference stays valid until the next call.
    AString& ReadValue(const AString& key);

    const std::filesystem::path& HomeDirectory() const { return home_; }
    std::filesystem::path FilePath() const { return home_ / kFileName; }

    // The object every part of the program reads its settings through; null until the
    // application (or a test) installs one.
    static INIFile* Global();
    static void SetGlobal(INIFile* ini);

private:
    std::filesystem::path home_;
    AString result_;
};
