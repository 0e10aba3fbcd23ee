#include "edit/MC_ClearMsg.h"

#include "edit/EditSupport.h"

MC_ClearMsg::MC_ClearMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t time)
    : MC_UndoableSongIter(kCmdClearMsg, viewIter), msg_(msg.Copy()), time_(time) {}

void MC_ClearMsg::Execute() {
    Frame frame(*this);
    WidenFilter();
    Song& song = GetSong();
    MsgPlace place = FindEqualMsg(song, time_, *msg_);
    if (!place.point)
        return;
    before_.Take(song, time_, time_);
    song.RemoveFromPoint(*place.point, place.index);
    if (place.point->msgs.IsEmpty())
        RemovePoints(song, time_, time_);
}

void MC_ClearMsg::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
