#include "edit/SpanSnapshot.h"

#include "edit/EditSupport.h"
#include "edit/PointCursor.h"
#include "model/SongIter.h"

void SpanSnapshot::Take(Song& song, std::int32_t from, std::int32_t to) {
    from_ = from;
    to_ = to;
    points_.clear();
    tracks_.clear();
    for (std::size_t n = 0; n < song.TrackCount(); ++n) {
        const Track& t = *song.GetTrack(n);
        tracks_.push_back({t.channel, t.program, t.bank});
    }
    if (to >= from) {
        SongTimeIter it(song);
        it.Seek(from);
        for (; !it.AtEnd() && it.Tick() <= to; it.Next()) {
            Point point{it.Tick(), {}};
            for (const MidiMsg* m : it.Point()->msgs)
                point.msgs.push_back(m->Copy());
            points_.push_back(std::move(point));
        }
    }
    taken_ = true;
}

bool SpanSnapshot::HasPointAt(std::int32_t tick) const {
    for (const Point& p : points_)
        if (p.tick == tick)
            return true;
    return false;
}

void SpanSnapshot::Restore(Song& song) {
    if (!taken_)
        return;
    if (to_ >= from_) {
        // Walk the span and the copy side by side: a point in both gets its old records,
        // a point only in the song goes, a point only in the copy comes back.
        PointCursor cursor(song);
        SongTimeIter& it = cursor.Iter();
        it.Seek(from_);
        std::size_t j = 0;
        for (;;) {
            const bool inSpan = !it.AtEnd() && it.Tick() <= to_;
            if (j < points_.size() && (!inSpan || points_[j].tick <= it.Tick())) {
                SongTimePoint& point = cursor.PointAt(points_[j].tick);
                song.ReplacePointMsgs(point, std::move(points_[j].msgs));
                it.Next();
                ++j;
                continue;
            }
            if (!inSpan)
                break;
            it.RemovePoint();
        }
    }
    points_.clear();
    // Tracks a paste created hold nothing once the span is back.
    while (song.TrackCount() > tracks_.size())
        song.DeleteTrack(song.TrackCount() - 1);
    for (std::size_t n = 0; n < tracks_.size() && n < song.TrackCount(); ++n) {
        Track& t = *song.GetTrack(n);
        t.channel = tracks_[n].channel;
        t.program = tracks_[n].program;
        t.bank = tracks_[n].bank;
    }
    song.InvalidateTrackLookup();
    taken_ = false;
}
