#pragma once

#include <array>
#include <cstdint>

// The accidental in force on every diatonic position during one measure, starting from
// the key signature, and the mark each new note needs against it.
class StaffAccidentals {
public:
    // Diatonic numbers run from C0 (0) to G10 (74), the spelling of pitch 127.
    static constexpr std::size_t kPositions = 75;

    // Sharps positive, flats negative; at most six are marked (seven sharps show six).
    void Reset(std::int32_t key);
    // The mark (AccidentalCode) a note of this pitch class on this diatonic position gets.
    // A mark given stays in force for the rest of the measure.
    std::int32_t Mark(std::int32_t diatonic, std::int32_t pitchClass, std::int32_t key);
    std::int32_t State(std::int32_t diatonic) const;

private:
    std::array<std::int8_t, kPositions> state_{};
};
