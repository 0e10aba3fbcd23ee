#include "edit/MC_DeleteMsg.h"

#include "edit/EditSupport.h"

MC_DeleteMsg::MC_DeleteMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t time)
    : MC_UndoableSongIter(kCmdDeleteMsg, viewIter), msg_(msg.Copy()), time_(time) {}

void MC_DeleteMsg::Execute() {
    Frame frame(*this);
    WidenFilter();
    closed_ = 0;
    Song& song = GetSong();
    MsgPlace place = FindEqualMsg(song, time_, *msg_);
    if (!place.point)
        return;
    before_.Take(song, time_, time_);
    song.RemoveFromPoint(*place.point, place.index);
    if (!place.point->msgs.IsEmpty())
        return;
    SongTimeIter it(song);
    it.Seek(time_);
    auto next = std::next(it.GetNode());
    if (next != song.Points().End())
        closed_ = (*next)->delta;
    it.RemovePoint();
    if (closed_ > 0)
        song.ShiftPoints(it.GetNode(), it.Tick(), -closed_);
}

void MC_DeleteMsg::Undo() {
    Frame frame(*this);
    if (!before_.Taken())
        return;
    ShiftFrom(GetSong(), time_, closed_);
    before_.Restore(GetSong());
}
