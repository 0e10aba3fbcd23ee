#include "edit/MC_ChordIter.h"

#include "devices/Chords.h"
#include "edit/ChordNotes.h"
#include "edit/EditSupport.h"

MC_ChordIter::MC_ChordIter(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time, int step)
    : MC_SaveNotesBase(kCmdChordIter, viewIter, note.key, time), note_(note),
      step_(step < 0 ? -1 : 1) {}

void MC_ChordIter::Execute() {
    Frame frame(*this);
    Song& song = GetSong();
    const Chords& table = Chords::Global();
    MsgPlace place = FindEqualMsg(song, Time(), note_);
    if (!place.point || table.Count() == 0)
        return;
    SaveNotes();
    SongTimePoint& point = *place.point;
    const MidiMsgNote current = *static_cast<const MidiMsgNote*>(place.Msg());
    const int p = current.key;
    ChordNotes around(point, current);
    int chord = table.FindChord(p, around.present);
    // Notes that already form a chord the table does not know are left alone.
    if (chord == -1 && around.near > 2)
        return;

    song.RemoveFromPoint(point, place.index);
    const int count = static_cast<int>(table.Count());
    if (chord != -1) {
        std::bitset<128> tones;
        for (std::int16_t o : table.At(static_cast<std::size_t>(chord)))
            if (o != Chords::kUnused && p + o >= 0 && p + o < 128)
                tones.set(static_cast<std::size_t>(p + o));
        for (std::size_t i = 0; i < point.msgs.Count();) {
            const MidiMsg& m = *point.msgs[i];
            if (around.BelongsWith(m) && tones.test(static_cast<const MidiMsgNote&>(m).key))
                song.RemoveFromPoint(point, i);
            else
                ++i;
        }
        chord = (chord + step_ + count) % count;
    } else {
        chord = step_ > 0 ? 0 : count - 1;
    }
    for (std::int16_t o : table.At(static_cast<std::size_t>(chord)))
        if (o != Chords::kUnused)
            AddChordTone(song, point, current, p + o);
    if (point.msgs.IsEmpty())
        RemovePoints(song, Time(), Time());
    SelectPitch(Iter(), Time(), p);
}
