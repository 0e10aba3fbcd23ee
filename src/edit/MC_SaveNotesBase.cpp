#include "edit/MC_SaveNotesBase.h"

MC_SaveNotesBase::MC_SaveNotesBase(std::int32_t kind, SongIter& viewIter, std::uint8_t currentPitch,
                                   std::int32_t time)
    : MC_UndoableSongIter(kind, viewIter), savedPitch_(currentPitch), time_(time) {}

void MC_SaveNotesBase::SaveNotes() {
    savedNotes_ = std::make_unique<SpanSnapshot>();
    savedNotes_->Take(GetSong(), time_, time_);
}

void MC_SaveNotesBase::SelectPitch(SongIter& it, std::int32_t time, int pitch) {
    if (!it.Seek(time) || it.Tick() != time)
        return;
    SongTimePoint& point = *it.Point();
    for (std::size_t i = 0; i < point.msgs.Count(); ++i) {
        const MidiMsg* m = point.msgs[i];
        if (m->kind == kMsgNote && static_cast<const MidiMsgNote*>(m)->key == pitch &&
            it.Matches(*m)) {
            it.MsgIter().SetIndex(static_cast<long>(i));
            return;
        }
    }
}

void MC_SaveNotesBase::Undo() {
    Frame frame(*this);
    // Put back also when the change left nothing at the time (a chord whose tones all
    // fell outside the pitch range), or the notes would be lost.
    if (savedNotes_ && savedNotes_->Taken())
        savedNotes_->Restore(GetSong());
    SelectPitch(Iter(), time_, savedPitch_);
}
