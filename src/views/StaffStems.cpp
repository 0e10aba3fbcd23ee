#include "views/StaffStems.h"

#include <algorithm>
#include <cstdlib>

#include "views/StaffPlacement.h"

void StaffOccupancy::Mark(std::int32_t from, std::int32_t to) {
    if (from > to)
        std::swap(from, to);
    from = std::max(from + kOffset, 0);
    to = std::min(to + kOffset, kSize - 1);
    for (std::int32_t i = from; i <= to; ++i)
        bits_.set(static_cast<std::size_t>(i));
}

bool StaffOccupancy::Occupied(std::int32_t position) const {
    const std::int32_t i = position + kOffset;
    return i >= 0 && i < kSize && bits_.test(static_cast<std::size_t>(i));
}

StaffStems::Choice StaffStems::ChooseDirection(const std::vector<Member>& members,
                                               const std::vector<StaffOccupancy>& occupancy,
                                               std::int32_t middleLine) {
    Choice choice;
    if (members.empty())
        return choice;
    // Votes, column by column (members are in column order).
    int votes = 0;
    for (std::size_t i = 0; i < members.size();) {
        const std::size_t column = members[i].column;
        std::int32_t top = members[i].note->position;
        std::int32_t bottom = top;
        for (; i < members.size() && members[i].column == column; ++i) {
            top = std::min(top, members[i].note->position);
            bottom = std::max(bottom, members[i].note->position);
        }
        if (column < occupancy.size()) {
            if (occupancy[column].Occupied(top - 6))
                ++votes;
            if (occupancy[column].Occupied(bottom + 6))
                --votes;
        }
    }
    if (votes != 0) {
        choice.up = votes < 0;
    } else {
        int balance = 0;
        std::int32_t highest = middleLine - members.front().note->position;
        std::int32_t lowest = highest;
        for (const Member& m : members) {
            const std::int32_t d = middleLine - m.note->position;
            balance += (d > 0) - (d < 0);
            highest = std::max(highest, d);
            lowest = std::min(lowest, d);
        }
        if (balance != 0)
            choice.up = balance < 0;
        else
            choice.up = !(std::abs(highest) > std::abs(lowest));
    }
    choice.stemEnd = StemEndFor(members, choice.up);
    return choice;
}

std::int32_t StaffStems::StemEndFor(const std::vector<Member>& members, bool up) {
    std::int32_t top = members.front().note->position;
    std::int32_t bottom = top;
    for (const Member& m : members) {
        top = std::min(top, m.note->position);
        bottom = std::max(bottom, m.note->position);
    }
    return up ? top - 6 : bottom + 6;
}

void StaffStems::SetUnbeamedStems(MeasureDrawInfo& measure, const StaffPlacement& placement) {
    occupancy_.assign(1, StaffOccupancy());
    for (DrawItemInfoList& column : measure.columns) {
        StaffOccupancy& occupied = occupancy_[0];
        occupied.Clear();
        for (DrawItemInfo* item : column) {
            if (const NoteDrawItem* note = AsNote(item)) {
                if (note->beamId >= 0 && note->stemEnd != kNoStem)
                    occupied.Mark(note->position, note->stemEnd);
                else
                    occupied.Mark(note->position - 3, note->position + 3);
            }
        }
        for (std::int16_t staff = 0; staff < placement.StaffCount(); ++staff) {
            for (std::int8_t beamClass = 0; beamClass <= 9; ++beamClass) {
                chord_.clear();
                for (DrawItemInfo* item : column) {
                    NoteDrawItem* note = AsNote(item);
                    if (!note || note->beamId >= 0 || note->staff != staff ||
                        !IsValidDurationType(note->durationType) ||
                        staff_tables::kBeamClass[static_cast<std::size_t>(note->durationType)] !=
                            beamClass)
                        continue;
                    if (chord_.size() == 5)
                        break;
                    chord_.push_back({note, 0});
                }
                if (!chord_.empty())
                    StemChord(chord_, placement.MiddleLine(staff));
            }
        }
    }
}

void StaffStems::StemChord(std::vector<Member>& chord, std::int32_t middleLine) {
    const StaffOccupancy& occupied = occupancy_[0];
    if (chord.size() == 1) {
        NoteDrawItem& note = *chord.front().note;
        bool up = note.position > middleLine;
        std::int32_t end = up ? note.position - 6 : note.position + 6;
        if (occupied.Occupied(end)) {
            up = !up;
            end = up ? note.position - 6 : note.position + 6;
        }
        note.stemEnd = end;
        note.flags = static_cast<std::uint8_t>((note.flags & ~NoteDrawItem::kStemUp) |
                                               (up ? NoteDrawItem::kStemUp : 0) |
                                               NoteDrawItem::kOwnsChordStem);
        return;
    }
    Choice choice = ChooseDirection(chord, occupancy_, middleLine);
    if (occupied.Occupied(choice.stemEnd)) {
        choice.up = !choice.up;
        choice.stemEnd = StemEndFor(chord, choice.up);
    }
    std::int32_t top = chord.front().note->position;
    std::int32_t bottom = top;
    for (const Member& m : chord) {
        top = std::min(top, m.note->position);
        bottom = std::max(bottom, m.note->position);
    }
    const std::int32_t reach = bottom - top + 6;
    for (const Member& m : chord) {
        NoteDrawItem& note = *m.note;
        if (std::abs(choice.stemEnd - note.position) == reach) {
            note.stemEnd = choice.stemEnd;
            note.flags = static_cast<std::uint8_t>((note.flags & ~NoteDrawItem::kStemUp) |
                                                   (choice.up ? NoteDrawItem::kStemUp : 0) |
                                                   NoteDrawItem::kOwnsChordStem);
        } else {
            note.sharesChordStem = 1;
            note.flags = static_cast<std::uint8_t>((note.flags & ~NoteDrawItem::kStemUp) |
                                                   (choice.up ? NoteDrawItem::kStemUp : 0));
        }
    }
}
