#include "edit/MC_NoteProperties.h"

#include "edit/EditSupport.h"

MC_NoteProperties::MC_NoteProperties(SongIter& viewIter, const MidiMsgNote& note, std::int32_t time,
                                     std::uint8_t velocity, std::uint8_t releaseVelocity,
                                     std::int32_t duration)
    : MC_UndoableSongIter(kCmdNoteProperties, viewIter), note_(note),
      time_(time), old_{note.velocity, note.releaseVelocity, note.duration}, new_{velocity,
                                                                                  releaseVelocity,
                                                                                  duration} {}

void MC_NoteProperties::Apply(const Values& from, const Values& to) {
    Frame frame(*this);
    note_.velocity = from.velocity;
    note_.releaseVelocity = from.releaseVelocity;
    note_.duration = from.duration;
    // The first run changes the view's own current note, also when it has a twin.
    if (index_ < 0 && Borrowed() && !Iter().AtEnd() && Iter().Tick() == time_)
        index_ = Iter().MsgIter().Index();
    MsgPlace place = FindEqualMsg(GetSong(), time_, note_, index_);
    if (!place.point)
        return;
    index_ = static_cast<long>(place.index);
    auto* note = static_cast<MidiMsgNote*>(place.Msg());
    note->velocity = to.velocity;
    note->releaseVelocity = to.releaseVelocity;
    note->duration = to.duration;
    if (Borrowed())
        SetCurrent(Iter(), time_, note);
}

void MC_NoteProperties::Execute() {
    Apply(old_, new_);
}

void MC_NoteProperties::Undo() {
    Apply(new_, old_);
}
