#pragma once

#include <array>
#include <cstdint>

// Written note values, shortest first. kDurNone marks "no note yet" where a shortest
// value is being looked for.
enum NoteDurationType : std::int32_t {
    kDur64th = 0,
    kDurDotted64th = 1,
    kDur32nd = 2,
    kDur16thTriplet = 3,
    kDurDotted32nd = 4,
    kDur16th = 5,
    kDur8thTriplet = 6,
    kDurDotted16th = 7,
    kDur8th = 8,
    kDurQuarterTriplet = 9,
    kDurDotted8th = 10,
    kDurQuarter = 11,
    kDurHalfTriplet = 12,
    kDurDottedQuarter = 13,
    kDurHalf = 14,
    kDurDottedHalf = 15,
    kDurWhole = 16,
    kDurNone = 17,
};
constexpr int kDurationTypeCount = 17;

enum AccidentalCode : std::int32_t {
    kAccNone = 0,
    kAccNatural = 1,
    kAccFlat = 2,
    kAccSharp = 3,
};

enum StaffSymbol : std::int32_t {
    kSymbolPedalDown = 0,
    kSymbolPedalUp = 1,
    kSymbolAudioCue = 2,
};

namespace staff_tables {

// Midpoints between neighbouring values in quarter notes, with the precision the layout
// has always used (1.16664 and 1.4164 are not 7/6 and 17/12 on purpose).
constexpr std::array<double, kDurationTypeCount> kThresholds = {
    0,         0.078125,  0.109375, 0.1458333332, 0.1770833332, 0.21875,
    0.2916666, 0.3541666, 0.4375,   0.5833332,    0.7083332,    0.875,
    1.16664,   1.4164,    1.75,     2.5,          3.5};

// Notes of one class may share a beam in one column.
constexpr std::array<std::int8_t, kDurationTypeCount> kBeamClass = {0, 0, 1, 2, 1, 3, 4, 3, 5,
                                                                    6, 5, 7, 8, 7, 7, 7, 9};
constexpr std::array<std::int8_t, kDurationTypeCount> kBeamablePlain = {1, 1, 1, 0, 1, 1, 0, 1, 1,
                                                                        0, 1, 0, 0, 0, 0, 0, 0};
constexpr std::array<std::int8_t, kDurationTypeCount> kBeamableTriplet = {0, 0, 0, 1, 0, 0, 1, 0, 0,
                                                                          1, 0, 0, 1, 0, 0, 0, 0};
constexpr std::array<std::int8_t, kDurationTypeCount> kBeamCount = {4, 3, 3,  2,  3,  2,  1,  2, 1,
                                                                    1, 1, -1, -1, -1, -1, -1, -1};

// Beats per beat group for numerators 1..16.
constexpr std::array<std::int8_t, 16> kBeatsPerGroup = {1, 1, 1, 2, 1, 3, 1, 2,
                                                        3, 5, 1, 3, 1, 7, 1, 4};

// Drawing: head glyph offset, triplet mark and flag glyph offset (-1 none) per type.
constexpr std::array<std::int8_t, kDurationTypeCount> kHeadCode = {0, 1, 0, 0, 1, 0, 0, 1, 0,
                                                                   0, 1, 0, 0, 1, 2, 3, 4};
constexpr std::array<std::int8_t, kDurationTypeCount> kTripletMark = {0, 0, 0, 1, 0, 0, 1, 0, 0,
                                                                      1, 0, 0, 1, 0, 0, 0, 0};
constexpr std::array<std::int8_t, kDurationTypeCount> kFlagCode = {0, 0, 2,  2,  2,  4,  4,  4, 6,
                                                                   6, 6, -1, -1, -1, -1, -1, -1};

// Width of a measure's note area in design units, by its shortest type (17: no notes).
constexpr std::array<std::int32_t, kDurationTypeCount + 1> kNoteAreaWidth = {
    6400, 4266, 4608, 3456, 3072, 2560, 1920, 1706, 1280,
    960,  853,  640,  480,  640,  640,  640,  640,  640};

} // namespace staff_tables

// Beats per group for any numerator; numerators past the table group in threes or twos
// when they divide, else beat by beat.
inline std::int32_t BeatsPerGroup(std::int32_t numerator) {
    if (numerator >= 1 && numerator <= 16)
        return staff_tables::kBeatsPerGroup[static_cast<std::size_t>(numerator - 1)];
    if (numerator > 16 && numerator % 3 == 0)
        return 3;
    if (numerator > 16 && numerator % 2 == 0)
        return 2;
    return 1;
}

inline bool IsValidDurationType(std::int32_t type) {
    return type >= 0 && type < kDurationTypeCount;
}
