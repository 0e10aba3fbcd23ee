#include "views/StaffAccidentals.h"

#include <algorithm>

#include "views/StaffTables.h"

namespace {
constexpr std::int32_t kFlatOrder[6] = {6, 2, 5, 1, 4, 0};  // B E A D G C
constexpr std::int32_t kSharpOrder[6] = {3, 0, 4, 1, 5, 2}; // F C G D A E

bool IsBlackKey(std::int32_t pitchClass) {
    switch (pitchClass) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}
} // namespace

void StaffAccidentals::Reset(std::int32_t key) {
    state_.fill(kAccNone);
    const std::int32_t count = std::min(key < 0 ? -key : key, 6);
    const std::int32_t* order = key < 0 ? kFlatOrder : kSharpOrder;
    const std::int8_t mark = key < 0 ? kAccFlat : kAccSharp;
    for (std::int32_t i = 0; i < count; ++i)
        for (std::size_t d = static_cast<std::size_t>(order[i]); d < kPositions; d += 7)
            state_[d] = mark;
}

std::int32_t StaffAccidentals::State(std::int32_t diatonic) const {
    if (diatonic < 0 || static_cast<std::size_t>(diatonic) >= kPositions)
        return kAccNone;
    return state_[static_cast<std::size_t>(diatonic)];
}

std::int32_t StaffAccidentals::Mark(std::int32_t diatonic, std::int32_t pitchClass,
                                    std::int32_t key) {
    if (diatonic < 0 || static_cast<std::size_t>(diatonic) >= kPositions)
        return kAccNone;
    const std::int32_t needed =
        IsBlackKey(pitchClass) ? (key < 0 ? kAccFlat : kAccSharp) : kAccNone;
    std::int8_t& state = state_[static_cast<std::size_t>(diatonic)];
    std::int32_t mark = needed;
    if (state == needed)
        mark = kAccNone;
    else if (state == kAccNone)
        mark = needed;
    else if (needed == kAccNone)
        mark = state != kAccNatural ? kAccNatural : kAccNone;
    // An unmarked note leaves the position as it was; a mark changes it.
    if (mark != kAccNone)
        state = static_cast<std::int8_t>(mark);
    return mark;
}
