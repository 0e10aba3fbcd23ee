#pragma once

#include <filesystem>
#include <string>

#include "util/AString.h"

// The program's own records inside MIDI files, stored as ordinary text events so that
// other programs show them as text: the device record, the per-track options record
// (format in model/ViewOptions.h) and audio cues.

constexpr const char* kDevicePrefix = "DEVICE=";
constexpr const char* kAudioCuePrefix = "Audio:";
constexpr int kDeviceRecordType = 1;  // text
constexpr int kOptionsRecordType = 6; // marker
constexpr int kAudioCueType = 7;      // cue point

AString FormatDeviceRecord(const AString& deviceFile);
// True when `text` is a device record (the prefix compared with case); `deviceFile` then
// holds the name after it.
bool ParseDeviceRecord(const std::string& text, AString& deviceFile);

// A cue as the file reader recognises it (prefix compared with case).
bool IsAudioCueRecord(int textType, const std::string& text);
// A cue as the player plays it: longer than the prefix, prefix compared without case.
bool IsPlayableAudioCue(int textType, const AString& text);
AString AudioCueFile(const AString& text);

// Where a device file named in a song is looked for: the home directory.
std::filesystem::path DeviceFilePath(const AString& deviceFile);
// The folder that the song's relative cue names are resolved against ("" for none).
AString SongBaseDirectory(const AString& songFileName);
