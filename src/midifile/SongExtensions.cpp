#include "midifile/SongExtensions.h"

#include <algorithm>

#include "model/Song.h"

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

std::vector<AString> SongAudioCueFiles(Song& song) {
    std::vector<AString> files;
    for (auto p = song.Points().Begin(); p != song.Points().End(); ++p) {
        for (const MidiMsg* m : (*p)->msgs) {
            if (m->kind != kMsgText)
                continue;
            const auto* text = static_cast<const MidiMsgText*>(m);
            if (!IsPlayableAudioCue(text->textType, text->text))
                continue;
            AString file = AudioCueFile(text->text);
            // File names compare with case here, as the file system does.
            const auto same = [&](const AString& f) { return f.str() == file.str(); };
            if (std::none_of(files.begin(), files.end(), same))
                files.push_back(std::move(file));
        }
    }
    return files;
}

AString SongBaseDirectory(const AString& songFileName) {
    if (songFileName.IsEmpty())
        return AString();
    return AString(std::filesystem::path(songFileName.str()).parent_path().string());
}
