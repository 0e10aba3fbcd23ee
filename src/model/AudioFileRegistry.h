#pragma once

#include <vector>

#include "util/AString.h"

// Where an open song registers the wave files of its audio cues, so that the player can
// prepare them before they are due.
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
