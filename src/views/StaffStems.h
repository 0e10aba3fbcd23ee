#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

#include "views/MeasureDrawInfo.h"

class StaffPlacement;

// Staff positions that something already takes in one column (a head, a stem), so that
// stems can be turned away from them.
class StaffOccupancy {
public:
    void Clear() { bits_.reset(); }
    void Mark(std::int32_t from, std::int32_t to);
    bool Occupied(std::int32_t position) const;

private:
    static constexpr std::int32_t kOffset = 64;
    static constexpr std::int32_t kSize = 224;
    std::bitset<kSize> bits_;
};

// Stem direction and length: the common rule for beams and chords, and the stems of all
// notes that no beam took.
class StaffStems {
public:
    // The notes of one beam or chord, with the column each stands in.
    struct Member {
        NoteDrawItem* note;
        std::size_t column;
    };
    struct Choice {
        bool up = false;
        std::int32_t stemEnd = kNoStem;
    };

    // Votes from occupied positions first (per column: taken 6 above the highest note
    // says down, taken 6 below the lowest says up), then the balance of notes above and
    // below the middle line, then the farther extreme.
    static Choice ChooseDirection(const std::vector<Member>& members,
                                  const std::vector<StaffOccupancy>& occupancy,
                                  std::int32_t middleLine);
    static std::int32_t StemEndFor(const std::vector<Member>& members, bool up);

    void SetUnbeamedStems(MeasureDrawInfo& measure, const StaffPlacement& placement);

private:
    void StemChord(std::vector<Member>& chord, std::int32_t middleLine);

    std::vector<StaffOccupancy> occupancy_;
    std::vector<Member> chord_;
};
