#include "midifile/SongExtensions.h"

#include <cstring>

#include "util/INIFile.h"

AString FormatDeviceRecord(const AString& deviceFile) {
    return AString(kDevicePrefix) + deviceFile;
}

bool ParseDeviceRecord(const std::string& text, AString& deviceFile) {
    const std::size_t n = std::strlen(kDevicePrefix);
    if (text.compare(0, n, kDevicePrefix) != 0)
        return false;
    deviceFile = AString(text.substr(n));
    return true;
}

bool IsAudioCueRecord(int textType, const std::string& text) {
    return textType == kAudioCueType &&
           text.compare(0, std::strlen(kAudioCuePrefix), kAudioCuePrefix) == 0;
}

bool IsPlayableAudioCue(int textType, const AString& text) {
    const std::size_t n = std::strlen(kAudioCuePrefix);
    return textType == kAudioCueType && text.Length() > n && text.StartsWith(kAudioCuePrefix);
}

AString AudioCueFile(const AString& text) {
    const std::size_t n = std::strlen(kAudioCuePrefix);
    return text.Length() > n ? text.Mid(n) : AString();
}

std::filesystem::path DeviceFilePath(const AString& deviceFile) {
    const std::filesystem::path name(deviceFile.str());
    if (name.is_absolute())
        return name;
    if (INIFile* ini = INIFile::Global())
        return ini->HomeDirectory() / name;
    return name;
}

AString SongBaseDirectory(const AString& songFileName) {
    if (songFileName.IsEmpty())
        return AString();
    return AString(std::filesystem::path(songFileName.str()).parent_path().string());
}
