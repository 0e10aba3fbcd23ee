#include "edit/MC_ChordAnchor.h"

#include "edit/ChordNotes.h"
#include "edit/EditSupport.h"

MC_ChordAnchor::MC_ChordAnchor(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time,
                               int interval)
    : MC_SaveNotesBase(kCmdChordAnchor, viewIter, note.key, time), note_(note),
      interval_(interval) {}

void MC_ChordAnchor::Execute() {
    Frame frame(*this);
    MsgPlace place = FindEqualMsg(GetSong(), Time(), note_);
    if (!place.point)
        return;
    const MidiMsgNote current = *static_cast<const MidiMsgNote*>(place.Msg());
    const int pitch = current.key + interval_;
    if (pitch < 0 || pitch > 127)
        return;
    SaveNotes();
    AddChordTone(GetSong(), *place.point, current, pitch);
    SelectPitch(Iter(), Time(), current.key);
}
