#pragma once

#include <vector>

#include "util/AString.h"

// Where songs register the wave files of their audio cues as they load, so that the
// player can prepare them before they are due. The player installs itself; until it
// does, requests are only remembered.
class AudioFileRegistry {
public:
    virtual ~AudioFileRegistry() = default;
    // `file` as written in the cue, resolved against `baseDirectory` (the song's folder,
    // empty for a song without a file).
    virtual void AddAudioWAVFile(const AString& file, const AString& baseDirectory) = 0;
};

// Keeps every request, in order.
class RecordingAudioFileRegistry : public AudioFileRegistry {
public:
    struct Request {
        AString file;
        AString baseDirectory;
    };
    void AddAudioWAVFile(const AString& file, const AString& baseDirectory) override {
        requests.push_back({file, baseDirectory});
    }
    std::vector<Request> requests;
};

// The installed registry (never null: a recording one until another is installed).
AudioFileRegistry& GetAudioFileRegistry();
// Installs `registry` (not owned); null restores the recording one.
void SetAudioFileRegistry(AudioFileRegistry* registry);
