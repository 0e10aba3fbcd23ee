#include "views/StaffPlacement.h"

#include <algorithm>

namespace {

// Steps of the twelve pitch classes spelled with sharps and with flats.
constexpr std::int32_t kSharpSteps[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr std::int32_t kFlatSteps[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
// Pitch classes of the steps in the natural scale of sharp and of flat keys.
constexpr std::int32_t kNaturalClasses[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr std::int32_t kFlatKeyClasses[7] = {0, 1, 3, 5, 6, 8, 10};

std::int32_t FloorDiv(std::int32_t a, std::int32_t b) {
    std::int32_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::int32_t Mod(std::int32_t a, std::int32_t b) {
    const std::int32_t r = a % b;
    return r < 0 ? r + b : r;
}

} // namespace

SpelledPitch SpellPitch(std::int32_t pitch, std::int32_t key) {
    pitch = std::clamp(pitch, 0, 127);
    const std::int32_t pc = pitch % 12;
    return {pitch / 12, key < 0 ? kFlatSteps[pc] : kSharpSteps[pc]};
}

void StaffPlacement::SetClef(std::int32_t clef, std::int32_t splitDiatonic) {
    clef_ = (clef >= 0 && clef <= 5) ? clef : 0;
    split_ = splitDiatonic;
}

void StaffPlacement::SetStaffDistance(std::int32_t positions) {
    distance_ = std::clamp(positions, 0, 40);
}

std::int32_t StaffPlacement::ClefOffset() const {
    switch (clef_) {
    case 2:
        return 31; // bass
    case 3:
        return 25; // alto
    case 4:
        return 27; // tenor
    case 5:
        return 26; // octave treble
    default:
        return 19; // grand staff and treble
    }
}

NotePlace StaffPlacement::Place(std::int32_t pitch, std::int32_t key) const {
    const SpelledPitch spelled = SpellPitch(pitch, key);
    NotePlace place;
    place.pitchClass = std::clamp(pitch, 0, 127) % 12;
    place.diatonic = 7 * spelled.octave + spelled.step;
    place.position = (10 - spelled.octave) * 7 + (6 - spelled.step) - ClefOffset();
    LedgerAndStaff(place);
    return place;
}

void StaffPlacement::LedgerAndStaff(NotePlace& place) const {
    const std::int32_t p = place.position;
    if (clef_ != 0) {
        if (p < kTopLine)
            place.ledger = static_cast<std::int16_t>(kTopLine - p);
        else if (p > kBottomLine)
            place.ledger = static_cast<std::int16_t>(kBottomLine - p);
        return;
    }
    // Grand staff, positions still in treble terms; the bass staff's lines are 24..32.
    const std::int32_t s = 57 - split_;
    bool lower = false;
    std::int32_t ledger = 0;
    if (p < kTopLine) {
        ledger = kTopLine - p;
    } else if (p > 32) {
        ledger = 32 - p;
        lower = true;
    } else if (s < 22) {
        if (p > s && p <= 23) {
            lower = true;
            ledger = 24 - p;
        } else if (p > 23) {
            lower = true;
        } else if (p > kBottomLine) {
            ledger = kBottomLine - p;
        }
    } else if (s > 22) {
        if (p > s)
            lower = true;
        else if (p > kBottomLine)
            ledger = kBottomLine - p;
    } else {
        if (p >= 23)
            lower = true;
        else if (p > kBottomLine)
            ledger = kBottomLine - p;
    }
    place.ledger = static_cast<std::int16_t>(ledger);
    if (lower) {
        place.staff = 1;
        place.position = p + distance_;
    }
}

std::int32_t StaffPlacement::PositionToPitch(std::int32_t position, std::int32_t key,
                                             std::int32_t mode) const {
    std::int32_t p = position;
    std::int32_t c = -1;
    switch (clef_) {
    case 2:
        c = 11;
        break;
    case 3:
        c = 5;
        break;
    case 4:
        c = 7;
        break;
    case 5:
        c = 6;
        break;
    default:
        break;
    }
    if (clef_ == 0) {
        const std::int32_t s = 57 - split_;
        if (p > s + distance_)
            p -= distance_;
        else if (p > s)
            p = (p > s + distance_ / 2) ? s + 1 : s;
    }
    const std::int32_t step = Mod(140 - (p + c), 7);
    const std::int32_t octave = 8 - FloorDiv(p + c + 6, 7);
    const std::int32_t* classes = key < 0 ? kFlatKeyClasses : kNaturalClasses;
    std::int32_t pitch = 12 * octave + classes[step];
    for (int i = 0; i < 12 && !PitchClassInScale(Mod(pitch, 12), key, mode); ++i)
        ++pitch;
    return std::clamp(pitch, 0, 127);
}

bool PitchClassInScale(std::int32_t pitchClass, std::int32_t key, std::int32_t mode) {
    static constexpr std::uint16_t kScales[5] = {
        0b101010110101, // major: 0 2 4 5 7 9 11
        0b010110101101, // natural minor: 0 2 3 5 7 8 10
        0b100110101101, // harmonic minor: 0 2 3 5 7 8 11
        0b001010010101, // pentatonic: 0 2 4 7 9
        0b010101010101, // whole tone: 0 2 4 6 8 10
    };
    if (mode < 0 || mode > 4)
        mode = 0;
    std::int32_t tonic = Mod(7 * key, 12);
    if (mode == 1 || mode == 2)
        tonic = Mod(tonic + 9, 12);
    const std::int32_t degree = Mod(pitchClass - tonic, 12);
    return (kScales[mode] >> degree) & 1;
}
