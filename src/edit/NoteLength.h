#pragma once

#include <cstdint>

// The state of the seven note-length buttons (1/64 to whole) with the dot and triplet
// toggles: the length given to new notes.
struct NoteLengthState {
    int button = 4; // 0 = 1/64 ... 4 = 1/4 ... 6 = whole
    bool dot = false;
    bool triplet = false;
    bool operator==(const NoteLengthState&) const = default;
};

// The ladder of written lengths that the duration keys climb: 1/64, 1/32, 1/24, 1/16,
// 1/12, 1/8, 1/6, 1/4, 1/3, 1/2 and 1 whole note; the odd thirds are triplet lengths.
class NoteLength {
public:
    static constexpr int kLadderSize = 11;
    static constexpr int kButtons = 7;

    // Ticks of a ladder entry, truncated.
    static std::int32_t LadderTicks(int index, std::int32_t ticksPerQuarter);
    // The entry a duration sits on: an exact match, else the nearer of its neighbours
    // (a tie goes up), 0 below the ladder and 10 above it.
    static int LadderIndex(std::int32_t duration, std::int32_t ticksPerQuarter);
    // What the duration keys make of a duration.
    static std::int32_t Longer(std::int32_t duration, std::int32_t ticksPerQuarter);
    static std::int32_t Shorter(std::int32_t duration, std::int32_t ticksPerQuarter);
    // The buttons that show a duration, dotted lengths and triplets recognised.
    static NoteLengthState ButtonsFor(std::int32_t duration, std::int32_t ticksPerQuarter);
    // The length of a new note under these buttons, truncated.
    static std::int32_t NewNoteTicks(const NoteLengthState& state, std::int32_t ticksPerQuarter);
    // What a press of a length button makes of the current note.
    static std::int32_t ButtonTicks(const NoteLengthState& state, std::int32_t ticksPerQuarter);
    static std::int32_t Dotted(std::int32_t duration);
    // Triplet only between a 1/64 and a half note (exclusive); otherwise unchanged.
    static std::int32_t Tripleted(std::int32_t duration, std::int32_t ticksPerQuarter);
};
