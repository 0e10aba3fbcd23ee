#pragma once

#include <cstdint>
#include <vector>

#include "views/MeasureDrawInfo.h"
#include "views/StaffStems.h"

class StaffPlacement;

// Finds the notes of a measure that share a beam: per staff, a plain pass and then a
// triplet pass, each within the measure's beat groups.
class StaffBeamer {
public:
    // `nextBeamId` runs on across measures and wraps before it leaves 16 bits.
    void Beam(MeasureDrawInfo& measure, const StaffPlacement& placement, double tolerance,
              std::int16_t& nextBeamId);

private:
    struct Group {
        std::vector<StaffStems::Member> members;
        std::int32_t beatGroup = -1;
        std::int32_t beamClass = -1;
        std::int32_t tolerance = 0;
        std::int32_t lastEnd = 0;
        std::size_t lastColumn = 0;
        bool HasColumn(std::size_t column) const;
        bool Empty() const { return members.empty(); }
    };

    void Pass(MeasureDrawInfo& measure, std::int16_t staff, bool triplet, std::int32_t middleLine,
              double tolerance, std::int16_t& nextBeamId);
    void Close(Group& group, bool triplet, std::int32_t middleLine, std::int16_t& nextBeamId);
    void SetLevels(const std::vector<NoteDrawItem*>& owners);

    std::vector<StaffOccupancy> occupancy_;
    std::vector<NoteDrawItem*> owners_;
};
