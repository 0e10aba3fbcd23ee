#pragma once

#include <cstdint>

// Where a pitch goes on the staff for one clef: spelling in a key, staff position
// (diatonic steps downwards, top line of a staff at 12), ledger lines and, for the grand
// staff, which of the two staves.
struct NotePlace {
    std::int16_t staff = 0;
    std::int32_t position = 0; // with the staff distance added on the lower staff
    std::int16_t ledger = 0;   // signed: lines from the note toward position + ledger
    std::int32_t diatonic = 0; // 7 x octave + step
    std::int32_t pitchClass = 0;
};

// Step (C 0 .. B 6) and octave of a pitch as written in a key: black keys are flats in
// flat keys and sharps in all others.
struct SpelledPitch {
    std::int32_t octave = 0;
    std::int32_t step = 0;
};
SpelledPitch SpellPitch(std::int32_t pitch, std::int32_t key);

class StaffPlacement {
public:
    static constexpr std::int32_t kTopLine = 12;
    static constexpr std::int32_t kBottomLine = 20;
    static constexpr std::int32_t kMiddleLine = 16;

    // Unknown clef numbers fall back to the grand staff.
    void SetClef(std::int32_t clef, std::int32_t splitDiatonic);
    void SetStaffDistance(std::int32_t positions);

    std::int32_t Clef() const { return clef_; }
    std::int32_t Split() const { return split_; }
    std::int32_t StaffDistance() const { return distance_; }
    std::int32_t StaffCount() const { return clef_ == 0 ? 2 : 1; }
    std::int32_t MiddleLine(std::int32_t staff) const {
        return staff == 1 ? distance_ + 28 : kMiddleLine;
    }
    // Bottom line of the whole system.
    std::int32_t SystemBottom() const { return clef_ == 0 ? distance_ + 32 : kBottomLine; }

    NotePlace Place(std::int32_t pitch, std::int32_t key) const;
    // The pitch a staff position stands for in a key and scale: the natural step of the
    // key (flats in flat keys), raised until it belongs to the scale.
    std::int32_t PositionToPitch(std::int32_t position, std::int32_t key, std::int32_t mode) const;

private:
    std::int32_t ClefOffset() const;
    void LedgerAndStaff(NotePlace& place) const;

    std::int32_t clef_ = 0;
    std::int32_t split_ = 35;
    std::int32_t distance_ = 10;
};

// Is a pitch class part of the key's scale in the given mode (0 major, 1 natural minor,
// 2 harmonic minor, 3 pentatonic, 4 whole tone)?
bool PitchClassInScale(std::int32_t pitchClass, std::int32_t key, std::int32_t mode);
