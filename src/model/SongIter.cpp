#include "model/SongIter.h"

#include "model/ViewFilter.h"

// --- SongTimeIter -------------------------------------------------------------------

SongTimeIter::SongTimeIter(Song& song) : song_(&song) {
    song_->Register(this);
    First();
}

SongTimeIter::SongTimeIter(const SongTimeIter& other)
    : song_(other.song_), node_(other.node_), tick_(other.tick_) {
    if (song_)
        song_->Register(this);
}

SongTimeIter& SongTimeIter::operator=(const SongTimeIter& other) {
    if (this == &other)
        return *this;
    if (song_ != other.song_) {
        if (song_)
            song_->Unregister(this);
        if (other.song_)
            other.song_->Register(this);
    }
    song_ = other.song_;
    node_ = other.node_;
    tick_ = other.tick_;
    return *this;
}

SongTimeIter::~SongTimeIter() {
    if (song_)
        song_->Unregister(this);
}

void SongTimeIter::Detach() {
    song_ = nullptr;
    tick_ = 0;
}

void SongTimeIter::SetPosition(Song::Node node, std::int32_t tick) {
    node_ = node;
    tick_ = tick;
}

bool SongTimeIter::AtEnd() const {
    return !song_ || node_ == song_->points_.End();
}

SongTimePoint* SongTimeIter::Point() const {
    return AtEnd() ? nullptr : node_->get();
}

void SongTimeIter::First() {
    if (!song_)
        return;
    node_ = song_->points_.Begin();
    tick_ = AtEnd() ? song_->LastTick() : (*node_)->delta;
}

void SongTimeIter::Seek(std::int32_t tick) {
    if (!song_)
        return;
    // A few steps are cheaper than the index: forward while this point is before the
    // tick, back while the one before is still at or after it.
    constexpr int kWalk = 8;
    for (int step = 0; step < kWalk; ++step) {
        if (!AtEnd() && tick_ < tick) {
            Next();
            continue;
        }
        if (node_ == song_->points_.Begin())
            return;
        const std::int32_t prevTick = AtEnd() ? song_->LastTick() : tick_ - (*node_)->delta;
        if (prevTick < tick)
            return;
        Prev();
    }
    node_ = song_->index_.Seek(tick, tick_);
}

bool SongTimeIter::Next() {
    if (AtEnd())
        return false;
    ++node_;
    if (AtEnd()) {
        tick_ = song_->LastTick();
        return false;
    }
    tick_ += (*node_)->delta;
    return true;
}

bool SongTimeIter::Prev() {
    if (!song_ || node_ == song_->points_.Begin())
        return false;
    if (AtEnd()) {
        --node_;
        tick_ = song_->LastTick();
        return true;
    }
    tick_ -= (*node_)->delta;
    --node_;
    return true;
}

void SongTimeIter::RemovePoint() {
    if (!AtEnd())
        song_->RemovePoint(node_);
}

void SongTimeIter::InsertAfter(std::int32_t delta) {
    if (!song_)
        return;
    if (AtEnd()) {
        const std::int32_t last = song_->LastTick();
        Song::Node n = song_->InsertPointBefore(node_, delta);
        SetPosition(n, last + delta);
        return;
    }
    Song::Node n = song_->InsertPointBefore(std::next(node_), delta);
    SetPosition(n, tick_ + delta);
}

void SongTimeIter::InsertBefore(std::int32_t delta) {
    if (!song_)
        return;
    if (AtEnd()) {
        InsertAfter(delta);
        return;
    }
    const std::int32_t prevTick = tick_ - (*node_)->delta;
    Song::Node n = song_->InsertPointBefore(node_, delta);
    SetPosition(n, prevTick + delta);
}

// --- SongIter -----------------------------------------------------------------------

SongIter::SongIter(Song& song, const ViewFilter* filter) : time_(song), filter_(filter) {
    song.Register(this);
    msg_.Attach(time_.Point());
}

SongIter::~SongIter() {
    if (Song* song = time_.GetSong())
        song->Unregister(this);
}

bool SongIter::Matches(const MidiMsg& msg) const {
    return !filter_ || filter_->Matches(msg);
}

bool SongIter::FindMatchFromIndex() {
    if (msg_.Index() < 0)
        msg_.SetIndex(0);
    while (!msg_.AtEnd() && !Matches(*msg_.Current()))
        msg_.Next();
    return !msg_.AtEnd();
}

bool SongIter::SkipToMatch() {
    if (time_.AtEnd())
        return false;
    if (msg_.Point() != time_.Point())
        msg_.Attach(time_.Point());
    while (!FindMatchFromIndex()) {
        skippedDelta_ += time_.Point()->delta;
        if (!time_.Next()) {
            msg_.Attach(nullptr);
            return false;
        }
        msg_.Attach(time_.Point());
    }
    return true;
}

bool SongIter::Seek(std::int32_t tick) {
    skippedDelta_ = 0;
    time_.Seek(tick);
    msg_.Attach(time_.Point());
    return SkipToMatch();
}

bool SongIter::NextMsg() {
    if (time_.AtEnd())
        return false;
    msg_.Next();
    return FindMatchFromIndex();
}

bool SongIter::NextPoint() {
    if (!time_.Next()) {
        msg_.Attach(nullptr);
        return false;
    }
    msg_.Attach(time_.Point());
    return SkipToMatch();
}

bool SongIter::Next() {
    return NextMsg() || NextPoint();
}

void SongIter::RemoveMsg() {
    if (Msg())
        GetSong()->RemoveFromPoint(*time_.Point(), static_cast<std::size_t>(msg_.Index()));
}

bool SongIter::RemoveEmptyPoint() {
    SongTimePoint* point = time_.Point();
    if (!point || !point->msgs.IsEmpty())
        return false;
    time_.RemovePoint();
    return true;
}
