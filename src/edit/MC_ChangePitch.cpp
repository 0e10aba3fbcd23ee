#include "edit/MC_ChangePitch.h"

#include "edit/EditSupport.h"

MC_ChangePitch::MC_ChangePitch(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time,
                               std::uint8_t newPitch)
    : MC_UndoableSongIter(kCmdChangePitch, viewIter), note_(note), oldPitch_(note.key),
      newPitch_(newPitch), time_(time) {}

void MC_ChangePitch::SetPitch(std::uint8_t from, std::uint8_t to) {
    Frame frame(*this);
    note_.key = from;
    // The first run changes the view's own current note, also when it has a twin.
    if (index_ < 0 && Borrowed() && !Iter().AtEnd() && Iter().Tick() == time_)
        index_ = Iter().MsgIter().Index();
    MsgPlace place = FindEqualMsg(GetSong(), time_, note_, index_);
    if (!place.point)
        return;
    index_ = static_cast<long>(place.index);
    static_cast<MidiMsgNote*>(place.Msg())->key = to;
    // The view keeps the changed note current.
    if (Borrowed())
        SetCurrent(Iter(), time_, place.Msg());
}

void MC_ChangePitch::Execute() {
    SetPitch(oldPitch_, newPitch_);
}

void MC_ChangePitch::Undo() {
    SetPitch(newPitch_, oldPitch_);
}
