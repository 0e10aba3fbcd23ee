#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "util/AString.h"

// A position as measure, beat and tick within the beat, all zero-based. Users see
// measure and beat one-based.
struct MusicalTime {
    std::int32_t measure = 0;
    std::int32_t beat = 0;
    std::int32_t tick = 0;
    bool operator==(const MusicalTime&) const = default;
};

// Reads numbers parted by `separator` ("3:1:0", "6/8"), as many as `values` holds and
// no more.
bool ParseNumbers(const AString& text, std::string_view separator, std::span<long> values);
// "measure+1:beat+1:tick"
AString FormatMusicalTime(const MusicalTime& time);
// Reads "m:b:t" as typed by the user (one-based measure and beat). False when the text
// is not three numbers or measure or beat is below 1.
bool ParseMusicalTime(const AString& text, MusicalTime& time);

struct SongTempo {
    std::int32_t tick = 0;
    std::int32_t tempo = 500000; // microseconds per quarter note
};

// A complete time signature and key signature taking effect at a measure.
struct TimeAndKeySignature {
    std::int32_t key = 0; // sharps positive, flats negative
    std::int32_t mode = 0;
    std::int32_t numerator = 4;
    std::int32_t denominator = 4;
    std::int32_t measure = 0;
};

// Key value meaning "leave the key as it is" and numerator meaning the same for time.
constexpr std::int32_t kKeepKey = -7;
constexpr std::int32_t kKeepTime = 255;

constexpr std::int32_t kDefaultTempo = 500000;

// Beats per minute as shown to the user.
inline std::int32_t TempoToBpm(std::int32_t microsPerQuarter) {
    return microsPerQuarter > 0 ? 60000000 / microsPerQuarter : 0;
}
inline std::int32_t BpmToTempo(std::int32_t bpm) {
    return bpm > 0 ? 60000000 / bpm : kDefaultTempo;
}
