#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "util/AString.h"

class Song;

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

// A cue as the player plays it: longer than the prefix, prefix compared without case.
bool IsPlayableAudioCue(int textType, const AString& text);
AString AudioCueFile(const AString& text);
// The wave file of every playable cue of the song, as written, each once, in song order.
std::vector<AString> SongAudioCueFiles(Song& song);

// Where a device file named in a song is looked for: the home directory.
std::filesystem::path DeviceFilePath(const AString& deviceFile);
// The folder that the song's relative cue names are resolved against ("" for none).
AString SongBaseDirectory(const AString& songFileName);
