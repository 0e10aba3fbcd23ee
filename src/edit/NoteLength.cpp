#include "edit/NoteLength.h"

#include <initializer_list>

namespace {

// Ladder entries as fractions of a whole note.
struct Fraction {
    std::int64_t num;
    std::int64_t den;
};
constexpr Fraction kLadder[NoteLength::kLadderSize] = {
    {1, 64}, {1, 32}, {1, 24}, {1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4}, {1, 3}, {1, 2}, {1, 1}};
constexpr std::int64_t kButtonDen[NoteLength::kButtons] = {64, 32, 16, 8, 4, 2, 1};
constexpr int kButtonOfEntry[NoteLength::kLadderSize] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 6};

// Compares duration / whole with num / den exactly: negative, zero or positive.
int Compare(std::int64_t duration, std::int64_t whole, std::int64_t num, std::int64_t den) {
    const std::int64_t left = duration * den;
    const std::int64_t right = whole * num;
    return left < right ? -1 : left > right ? 1 : 0;
}

bool IsTripletEntry(int index) {
    return index == 2 || index == 4 || index == 6 || index == 8;
}

} // namespace

std::int32_t NoteLength::LadderTicks(int index, std::int32_t ticksPerQuarter) {
    const Fraction& f = kLadder[index];
    return static_cast<std::int32_t>(4 * std::int64_t{ticksPerQuarter} * f.num / f.den);
}

int NoteLength::LadderIndex(std::int32_t duration, std::int32_t ticksPerQuarter) {
    const std::int64_t whole = 4 * std::int64_t{ticksPerQuarter};
    for (int i = 0; i < kLadderSize; ++i) {
        const int c = Compare(duration, whole, kLadder[i].num, kLadder[i].den);
        if (c == 0)
            return i;
        if (c < 0) {
            if (i == 0)
                return 0;
            // Nearer of entries i-1 and i, measured in 1/(whole * den_i * den_{i-1}).
            const Fraction& lo = kLadder[i - 1];
            const Fraction& hi = kLadder[i];
            const std::int64_t d = std::int64_t{duration} * lo.den * hi.den;
            const std::int64_t below = d - whole * lo.num * hi.den;
            const std::int64_t above = whole * hi.num * lo.den - d;
            return above <= below ? i : i - 1;
        }
    }
    return kLadderSize - 1;
}

std::int32_t NoteLength::Longer(std::int32_t duration, std::int32_t ticksPerQuarter) {
    const int index = LadderIndex(duration, ticksPerQuarter);
    return LadderTicks((index + 1) % kLadderSize, ticksPerQuarter);
}

std::int32_t NoteLength::Shorter(std::int32_t duration, std::int32_t ticksPerQuarter) {
    const int index = LadderIndex(duration, ticksPerQuarter);
    return LadderTicks(index == 0 ? kLadderSize - 1 : index - 1, ticksPerQuarter);
}

NoteLengthState NoteLength::ButtonsFor(std::int32_t duration, std::int32_t ticksPerQuarter) {
    const std::int64_t whole = 4 * std::int64_t{ticksPerQuarter};
    NoteLengthState state;
    int index = kLadderSize - 1;
    for (int i = 0; i < kLadderSize; ++i) {
        const int c = Compare(duration, whole, kLadder[i].num, kLadder[i].den);
        if (c == 0) {
            index = i;
            state.triplet = IsTripletEntry(i);
            break;
        }
        if (c < 0) {
            // A dotted length: one and a half times the entry two below, or one below.
            for (int back : {2, 1}) {
                if (i - back < 0)
                    continue;
                const Fraction& f = kLadder[i - back];
                if (Compare(duration, whole, 3 * f.num, 2 * f.den) == 0) {
                    state.dot = true;
                    index = i - back;
                    break;
                }
            }
            if (!state.dot)
                index = LadderIndex(duration, ticksPerQuarter);
            break;
        }
    }
    state.button = kButtonOfEntry[index];
    return state;
}

std::int32_t NoteLength::NewNoteTicks(const NoteLengthState& state, std::int32_t ticksPerQuarter) {
    std::int64_t num = 4 * std::int64_t{ticksPerQuarter};
    std::int64_t den = kButtonDen[state.button];
    if (state.dot) {
        num *= 3;
        den *= 2;
    }
    if (state.triplet) {
        num *= 4;
        den *= 3;
    }
    return static_cast<std::int32_t>(num / den);
}

std::int32_t NoteLength::ButtonTicks(const NoteLengthState& state, std::int32_t ticksPerQuarter) {
    double ticks = 4.0 * ticksPerQuarter / static_cast<double>(kButtonDen[state.button]);
    if (state.dot)
        ticks *= 1.5;
    if (state.triplet)
        ticks *= 1.3333334;
    return static_cast<std::int32_t>(ticks);
}

std::int32_t NoteLength::Dotted(std::int32_t duration) {
    return static_cast<std::int32_t>(std::int64_t{duration} * 3 / 2);
}

std::int32_t NoteLength::Tripleted(std::int32_t duration, std::int32_t ticksPerQuarter) {
    if (!(ticksPerQuarter * 0.0625 < duration && duration < 2 * ticksPerQuarter))
        return duration;
    return static_cast<std::int32_t>(duration * 1.3333334);
}
