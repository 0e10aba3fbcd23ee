#include "edit/MC_InsertMsg.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/EditSupport.h"
#include "edit/PointCursor.h"

MC_InsertMsg::MC_InsertMsg(SongIter& viewIter, const MidiMsg& msg, std::int32_t shift,
                           std::int32_t time)
    : MC_UndoableSongIter(kCmdInsertMsg, viewIter), msg_(msg.Copy()),
      shift_(std::max<std::int32_t>(shift, 0)), time_(std::max<std::int32_t>(time, 0)) {}

void MC_InsertMsg::Execute() {
    Frame frame(*this);
    Song& song = GetSong();
    // Without room for the shift nothing is inserted.
    before_ = SpanSnapshot();
    if (shift_ > 0 && !BlockOps::InsertSpace(song, time_, shift_))
        return;
    before_.Take(song, time_, time_);
    RecordTrackUse(song, *msg_);
    PointCursor(song).Add(time_, msg_->Copy());
}

void MC_InsertMsg::Undo() {
    Frame frame(*this);
    if (!before_.Taken())
        return;
    before_.Restore(GetSong());
    CloseSpace(GetSong(), time_, shift_);
}
