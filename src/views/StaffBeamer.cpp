#include "views/StaffBeamer.h"

#include <algorithm>
#include <cstdlib>

#include "views/StaffPlacement.h"

namespace {
// A beamable note may end this far past its beat group and still join a beam there.
constexpr std::int32_t kGroupOverhang = 256;
} // namespace

bool StaffBeamer::Group::HasColumn(std::size_t column) const {
    for (const StaffStems::Member& m : members)
        if (m.column == column)
            return true;
    return false;
}

void StaffBeamer::Beam(MeasureDrawInfo& measure, const StaffPlacement& placement, double tolerance,
                       std::int16_t& nextBeamId) {
    for (std::int16_t staff = 0; staff < placement.StaffCount(); ++staff) {
        const std::int32_t middle = placement.MiddleLine(staff);
        Pass(measure, staff, false, middle, tolerance, nextBeamId);
        Pass(measure, staff, true, middle, tolerance, nextBeamId);
    }
}

void StaffBeamer::Pass(MeasureDrawInfo& measure, std::int16_t staff, bool triplet,
                       std::int32_t middleLine, double tolerance, std::int16_t& nextBeamId) {
    const auto& beamable = triplet ? staff_tables::kBeamableTriplet : staff_tables::kBeamablePlain;
    const std::int32_t groupLength = std::max(1, measure.beatGroupLength);
    occupancy_.assign(measure.columns.size(), StaffOccupancy());
    Group group;
    for (std::size_t c = 0; c < measure.columns.size(); ++c) {
        std::int32_t columnType = -1;
        for (DrawItemInfo* item : measure.columns[c]) {
            NoteDrawItem* note = AsNote(item);
            if (!note || note->staff != staff || !IsValidDurationType(note->durationType))
                continue;
            const std::size_t type = static_cast<std::size_t>(note->durationType);
            const std::int32_t beatGroup = note->time / groupLength;
            const std::int32_t groupEnd = (beatGroup + 1) * groupLength;
            const bool candidate = beamable[type] && note->tieEnd < 0 && note->beamId < 0 &&
                                   note->time + note->partLength < groupEnd + kGroupOverhang &&
                                   (columnType < 0 || columnType == note->durationType);
            if (!candidate) {
                occupancy_[c].Mark(note->position - 5, note->position + 5);
                continue;
            }
            columnType = note->durationType;
            const std::int32_t beamClass = staff_tables::kBeamClass[type];
            bool joins = false;
            if (!group.Empty() && group.beatGroup == beatGroup) {
                joins = c == group.lastColumn ||
                        (beamClass == group.beamClass && group.HasColumn(c)) ||
                        std::abs(note->time - group.lastEnd) <= group.tolerance;
            }
            if (!joins) {
                Close(group, triplet, middleLine, nextBeamId);
                group.beatGroup = beatGroup;
                group.beamClass = beamClass;
                group.tolerance = static_cast<std::int32_t>(tolerance * note->duration);
            }
            group.members.push_back({note, c});
            group.lastEnd = note->time + note->partLength;
            group.lastColumn = c;
        }
    }
    Close(group, triplet, middleLine, nextBeamId);
}

void StaffBeamer::Close(Group& group, bool triplet, std::int32_t middleLine,
                        std::int16_t& nextBeamId) {
    std::vector<StaffStems::Member>& members = group.members;
    bool severalTimes = false;
    for (const StaffStems::Member& m : members)
        severalTimes = severalTimes || m.note->time != members.front().note->time;
    if (!severalTimes) {
        members.clear();
        return;
    }
    const StaffStems::Choice choice = StaffStems::ChooseDirection(members, occupancy_, middleLine);
    const std::int16_t id = nextBeamId;
    nextBeamId = static_cast<std::int16_t>(nextBeamId == 32767 ? 0 : nextBeamId + 1);
    owners_.clear();
    for (std::size_t i = 0; i < members.size();) {
        // The note farthest from the beam starts the column's stem, so that the stem
        // reaches every head of the chord.
        const std::size_t column = members[i].column;
        std::size_t owner = i;
        std::size_t j = i;
        for (; j < members.size() && members[j].column == column; ++j) {
            if (std::abs(members[j].note->position - choice.stemEnd) >
                std::abs(members[owner].note->position - choice.stemEnd))
                owner = j;
        }
        for (std::size_t k = i; k < j; ++k) {
            NoteDrawItem& note = *members[k].note;
            note.beamId = id;
            note.stemEnd = choice.stemEnd;
            note.flags = static_cast<std::uint8_t>(
                (note.flags & ~(NoteDrawItem::kStemUp | NoteDrawItem::kOwnsChordStem)) |
                (choice.up ? NoteDrawItem::kStemUp : 0) |
                (triplet ? NoteDrawItem::kTripletBeam : 0) |
                (k == owner ? NoteDrawItem::kOwnsChordStem : 0));
            note.sharesChordStem = k == owner ? 0 : 1;
        }
        owners_.push_back(members[owner].note);
        i = j;
    }
    SetLevels(owners_);
    members.clear();
}

void StaffBeamer::SetLevels(const std::vector<NoteDrawItem*>& owners) {
    for (std::size_t i = 1; i < owners.size(); ++i) {
        NoteDrawItem& prev = *owners[i - 1];
        NoteDrawItem& note = *owners[i];
        const std::int16_t was =
            staff_tables::kBeamCount[static_cast<std::size_t>(prev.durationType)];
        const std::int16_t now =
            staff_tables::kBeamCount[static_cast<std::size_t>(note.durationType)];
        if (now == was) {
            note.beamCount = now;
            prev.partialBeamCount = 0;
        } else if (now < was) {
            note.beamCount = now;
            if (i == 1) {
                prev.beamCount = now;
                prev.beamEnd = 1;
                prev.partialBeamCount = static_cast<std::int16_t>(was - now);
                prev.partialBeamSide = 1;
            }
        } else {
            note.beamCount = was;
            note.partialBeamCount = static_cast<std::int16_t>(now - was);
            note.partialBeamSide = -1;
        }
    }
}
