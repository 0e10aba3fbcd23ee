#pragma once

#include <cstdint>

// One stored option with the flag a settings dialog raises when it changes it.
template <class T> struct OptionValue {
    T value;
    std::uint8_t changed = 0;
    OptionValue(T v = T()) : value(v) {}
    operator T() const { return value; }
    OptionValue& operator=(T v) {
        value = v;
        return *this;
    }
    // What a settings dialog stores: the flag goes up only when the value differs.
    void Change(T v) {
        if (value != v) {
            value = v;
            changed = 1;
        }
    }
};

enum ClefEnumType : std::int32_t {
    kClefGrand = 0,
    kClefTreble = 1,
    kClefBass = 2,
    kClefAlto = 3,
    kClefTenor = 4,
    kClefOctaveTreble = 5,
};

// What the settings dialogs can set; records read from files are held to it.
constexpr std::int32_t kLowestSplit = 28;  // C4
constexpr std::int32_t kHighestSplit = 42; // C6
constexpr double kMostFraction = 0.25;     // merge and beam tolerance, 25 %
constexpr double kSmallestScale = 0.8;
constexpr double kLargestScale = 1.8;
constexpr std::int32_t kShortestQuarter = 10;
constexpr std::int32_t kLongestQuarter = 50;
constexpr std::int32_t kLastPianoType = 2;

// Staff settings of a track.
struct StaffViewOptions {
    OptionValue<std::int32_t> clefType{kClefGrand};
    // Diatonic step number where a grand staff splits (C4 = 28, C5 = 35, C6 = 42).
    OptionValue<std::int32_t> splitPitch{35};
    OptionValue<double> timeGroupMerge{0.01};
    OptionValue<double> beamNoteTolerance{0.02};
    OptionValue<double> printoutScale{1.3};
};

struct PianoRollOptions {
    OptionValue<std::int32_t> quarterNoteDisplayLength{30};
    OptionValue<std::int32_t> printPianoType{0};
};

// Colour modes of the piano roll.
enum ColorMode : std::int32_t {
    kColorByVolume = 1,
    kColorByInstrument = 2,
    kColorByChannel = 3,
    kColorByTrack = 4,
};

// A track's view settings, saved with the song in the track's options record.
struct ViewOptions : StaffViewOptions, PianoRollOptions {
    OptionValue<std::int8_t> displayTempo{0};
    OptionValue<std::int8_t> showLyrics{1};
    OptionValue<std::int8_t> showComments{0};
    OptionValue<std::int8_t> showTrackName{0};
    OptionValue<std::int32_t> colorMode{kColorByVolume};
    // The dialogs' "apply to all tracks" box; never stored.
    std::uint8_t applyToAllTracks = 0;
};

#include "util/AString.h"

// The track options record: "VLOPT:" and twelve comma-separated values.
constexpr const char* kOptionsPrefix = "VLOPT:";
AString FormatViewOptions(const ViewOptions& options);
// A record that does not parse cleanly gives every field its default; values outside
// what the dialogs offer are taken at the nearest end.
ViewOptions ParseViewOptions(const AString& text);
