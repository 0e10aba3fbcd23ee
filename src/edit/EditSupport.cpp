#include "edit/EditSupport.h"

void ShiftFrom(Song& song, std::int32_t tick, std::int32_t amount) {
    if (amount == 0)
        return;
    SongTimeIter it(song);
    it.Seek(tick);
    if (!it.AtEnd())
        song.ShiftPoints(it.GetNode(), it.Tick(), amount);
}

void CloseSpace(Song& song, std::int32_t tick, std::int32_t length) {
    if (length <= 0)
        return;
    SongTimeIter it(song);
    it.Seek(tick);
    if (it.AtEnd() || it.Point()->delta < length || it.Tick() - tick < length)
        return;
    song.ShiftPoints(it.GetNode(), it.Tick(), -length);
}

void RemovePoints(Song& song, std::int32_t from, std::int32_t to) {
    SongTimeIter it(song);
    it.Seek(from);
    while (!it.AtEnd() && it.Tick() <= to)
        it.RemovePoint();
}

void MergeAt(Song& song, std::int32_t tick) {
    SongTimeIter it(song);
    it.Seek(tick);
    if (!it.AtEnd() && it.Tick() == tick)
        MergeInto(song, it);
}

void MergeInto(Song& song, SongTimeIter& it) {
    if (it.AtEnd())
        return;
    SongTimePoint& point = *it.Point();
    auto next = std::next(it.GetNode());
    while (next != song.Points().End() && (*next)->delta == 0) {
        SongTimePoint& later = **next;
        while (!later.msgs.IsEmpty())
            song.AddToPoint(point, song.DetachFromPoint(later, 0));
        song.RemovePoint(next);
        next = std::next(it.GetNode());
    }
}

MsgPlace FindEqualMsg(Song& song, std::int32_t tick, const MidiMsg& msg, long hint) {
    SongTimeIter it(song);
    it.Seek(tick);
    MsgPlace place;
    if (it.AtEnd() || it.Tick() != tick)
        return place;
    SongTimePoint& point = *it.Point();
    if (hint >= 0 && static_cast<std::size_t>(hint) < point.msgs.Count() &&
        point.msgs[static_cast<std::size_t>(hint)]->IsEqual(msg)) {
        place.point = &point;
        place.index = static_cast<std::size_t>(hint);
        return place;
    }
    for (std::size_t i = 0; i < point.msgs.Count(); ++i) {
        if (point.msgs[i]->IsEqual(msg)) {
            place.point = &point;
            place.index = i;
            break;
        }
    }
    return place;
}

bool SetCurrent(SongIter& it, std::int32_t tick, const MidiMsg* msg) {
    if (!it.Seek(tick) || it.Tick() != tick || !msg)
        return false;
    const long index = it.Point()->msgs.IndexOf(msg);
    if (index < 0 || !it.Matches(*msg))
        return false;
    it.MsgIter().SetIndex(index);
    return true;
}
