#include "edit/MC_AddMultipleMsg.h"

#include "edit/BlockOps.h"
#include "edit/PointCursor.h"

MC_AddMultipleMsg::MC_AddMultipleMsg(SongIter& viewIter, std::uint8_t currentPitch,
                                     const MidiMsgNote& note, std::int32_t time)
    : MC_SaveNotesBase(kCmdAddMultipleMsg, viewIter, currentPitch, time), note_(note) {}

void MC_AddMultipleMsg::Execute() {
    Frame frame(*this);
    Song& song = GetSong();
    SaveNotes();
    PointCursor cursor(song);
    SongTimePoint& point = cursor.PointAt(Time());
    // The same pitch twice on one channel and track would be one sound; the new note
    // takes the old one's place.
    for (std::size_t i = 0; i < point.msgs.Count();) {
        const MidiMsg* m = point.msgs[i];
        if (m->kind == kMsgNote && m->track == note_.track && m->channel == note_.channel &&
            static_cast<const MidiMsgNote*>(m)->key == note_.key)
            song.RemoveFromPoint(point, i);
        else
            ++i;
    }
    RecordTrackUse(song, note_);
    song.AddToPoint(point, note_.Copy());
    if (Borrowed())
        SelectPitch(Iter(), Time(), note_.key);
}
