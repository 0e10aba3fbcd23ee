#include "edit/MC_PutMsgAtTime.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/PointCursor.h"

MC_PutMsgAtTime::MC_PutMsgAtTime(SongIter& viewIter, const MidiMsg& msg, std::int32_t time)
    : MC_UndoableSongIter(kCmdPutMsgAtTime, viewIter), msg_(msg.Copy()),
      time_(std::max<std::int32_t>(time, 0)) {} // nothing lives before the song's start

void MC_PutMsgAtTime::Execute() {
    Frame frame(*this);
    // A control change may replace one already there, so undo puts the whole point back.
    before_.Take(GetSong(), time_, time_);
    RecordTrackUse(GetSong(), *msg_);
    PointCursor(GetSong()).Add(time_, msg_->Copy());
}

void MC_PutMsgAtTime::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
