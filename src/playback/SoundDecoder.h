#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "playback/SoundBuffer.h"
#include "util/AString.h"

// Reads any sound file libsndfile knows (WAV of every kind, AIFF, FLAC, Ogg...) into a
// stereo buffer at `sampleRate`, ready to mix. Null with `error` set (the reason only)
// when the file cannot be read.
std::shared_ptr<SoundBuffer> DecodeSoundFile(const std::filesystem::path& file, int sampleRate,
                                             AString& error);
// The same for a file held in memory.
std::shared_ptr<SoundBuffer> DecodeSoundMemory(std::span<const std::uint8_t> bytes, int sampleRate,
                                               AString& error);
