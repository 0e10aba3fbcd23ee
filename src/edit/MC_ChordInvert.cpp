#include "edit/MC_ChordInvert.h"

#include "edit/EditSupport.h"

MC_ChordInvert::MC_ChordInvert(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time)
    : MC_SaveNotesBase(kCmdChordInvert, viewIter, note.key, time), note_(note) {}

void MC_ChordInvert::Execute() {
    Frame frame(*this);
    MsgPlace place = FindEqualMsg(GetSong(), Time(), note_);
    if (!place.point)
        return;
    auto& note = *static_cast<MidiMsgNote*>(place.Msg());
    const int p = note.key;
    if (p + 12 > 127)
        return;
    SaveNotes();
    note.key = static_cast<std::uint8_t>(p + 12);
    // The lowest tone above the old pitch, at most an octave up: the raised note itself
    // when no other chord tone lies between.
    int lowest = p + 12;
    for (const MidiMsg* m : place.point->msgs) {
        if (m->kind != kMsgNote || !Iter().Matches(*m))
            continue;
        const int key = static_cast<const MidiMsgNote*>(m)->key;
        if (key > p && key < lowest)
            lowest = key;
    }
    SelectPitch(Iter(), Time(), lowest);
}
