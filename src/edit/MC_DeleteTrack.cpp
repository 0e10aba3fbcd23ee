#include "edit/MC_DeleteTrack.h"

#include <algorithm>

#include "edit/PointCursor.h"
#include "model/SongIter.h"

MC_DeleteTrack::MC_DeleteTrack(Song& song, std::uint16_t track)
    : CPCommand(kCmdDeleteTrack), song_(song), track_(track) {}

void MC_DeleteTrack::Execute() {
    removed_.clear();
    const Track* t = song_.GetTrack(track_);
    if (!t)
        return;
    trackRecord_ = *t;
    for (SongTimeIter it(song_); !it.AtEnd(); it.Next()) {
        const PArray<MidiMsg>& msgs = it.Point()->msgs;
        for (std::size_t i = 0; i < msgs.Count(); ++i)
            if (msgs[i]->track == track_)
                removed_.push_back({it.Tick(), i, msgs[i]->Copy()});
    }
    song_.DeleteTrack(track_);
}

void MC_DeleteTrack::Undo() {
    if (track_ > song_.TrackCount())
        return;
    for (SongTimeIter it(song_); !it.AtEnd(); it.Next())
        for (MidiMsg* m : it.Point()->msgs)
            if (m->track >= track_)
                ++m->track;
    song_.InsertTrack(track_, trackRecord_);
    // Rising ticks, and rising indexes within a point: each record goes back in front of
    // the one that followed it.
    PointCursor cursor(song_);
    for (const Removed& r : removed_) {
        SongTimePoint& point = cursor.PointAt(r.tick);
        song_.InsertIntoPoint(point, std::min(r.index, point.msgs.Count()), r.msg->Copy());
    }
}
