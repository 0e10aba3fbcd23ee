#include "edit/PointCursor.h"

SongTimePoint& PointCursor::PointAt(std::int32_t tick) {
    it_.Seek(tick);
    if (!it_.AtEnd() && it_.Tick() == tick)
        return *it_.Point();
    if (it_.AtEnd())
        it_.InsertAfter(tick - song_.LastTick());
    else
        it_.InsertBefore(tick - (it_.Tick() - it_.Point()->delta));
    return *it_.Point();
}

void PointCursor::Add(std::int32_t tick, std::unique_ptr<MidiMsg> msg) {
    song_.AddToPoint(PointAt(tick), std::move(msg));
}

SongTimePoint* PointCursor::Find(std::int32_t tick) {
    it_.Seek(tick);
    return !it_.AtEnd() && it_.Tick() == tick ? it_.Point() : nullptr;
}
