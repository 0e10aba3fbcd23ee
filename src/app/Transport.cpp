#include "app/Transport.h"

#include <algorithm>

// While the player plays, every button of the transport stops it and does nothing more.
bool Transport::StoppedInstead() {
    if (!host_.PlayerBusy())
        return false;
    host_.StopPlayer();
    return true;
}

void Transport::SetPlayPosition(std::int32_t tick) {
    position_ = std::clamp(tick, 0, std::max(host_.SongEnd(), 0));
    host_.ShowPlayBar(position_);
}

// Moves the bar, scrolling the views when it leaves what they show.
void Transport::MoveTo(std::int32_t tick) {
    position_ = tick;
    if (tick < host_.FirstVisibleTick() || tick > host_.LastVisibleTick())
        host_.ScrollViewsTo(tick);
    host_.ShowPlayBar(position_);
}

void Transport::Rewind() {
    if (StoppedInstead())
        return;
    const std::int32_t quarter = host_.TicksPerQuarter();
    position_ = std::max(position_ - quarter, 0);
    const std::int32_t first = host_.FirstVisibleTick();
    if (position_ < first)
        host_.ScrollViewsTo(std::max(first - 2 * quarter, 0));
    host_.ShowPlayBar(position_);
}

void Transport::Forward() {
    if (StoppedInstead())
        return;
    const std::int32_t quarter = host_.TicksPerQuarter();
    position_ = std::min(position_ + quarter, std::max(host_.SongEnd(), 0));
    if (position_ > host_.LastVisibleTick())
        host_.ScrollViewsTo(host_.FirstVisibleTick() + 2 * quarter);
    host_.ShowPlayBar(position_);
}

void Transport::RewindToBeginning() {
    if (StoppedInstead())
        return;
    MoveTo(0);
}

void Transport::ForwardToEnd() {
    if (StoppedInstead())
        return;
    MoveTo(std::max(host_.SongEnd(), 0));
}

void Transport::Play() {
    if (StoppedInstead())
        return;
    PlayRange(position_, host_.SongEnd());
    autoRewinding_ = autoRewind_;
}

void Transport::Stop() {
    if (host_.PlayerBusy())
        host_.StopPlayer();
}

void Transport::PlayRange(std::int32_t from, std::int32_t to) {
    const std::int32_t end = std::max(host_.SongEnd(), 0);
    from = std::clamp(from, 0, end);
    to = std::clamp(to, 0, end);
    autoRewinding_ = false;
    if (from != to && from != position_) {
        rewindTo_ = position_;
        restoreAfterPlay_ = true;
    }
    drawCount_ = 0;
    host_.StartPlayer(from, to);
}

void Transport::OnPosition(std::int32_t tick, int sent) {
    ++drawCount_;
    position_ = tick;
    if (drawCount_ < sent)
        return; // a newer notice is on its way
    if (tick < host_.FirstVisibleTick() || tick > host_.LastVisibleTick()) {
        const std::int32_t quarter = std::max(host_.TicksPerQuarter(), 1);
        host_.ScrollViewsTo(tick / quarter * quarter);
    }
    host_.ShowPlayBar(tick);
}

void Transport::OnStopped() {
    if (restoreAfterPlay_) {
        position_ = rewindTo_;
        restoreAfterPlay_ = false;
    }
    if (autoRewinding_ && position_ >= host_.SongEnd()) {
        position_ = 0;
    } else {
        // Past the last event the bar stays on it rather than jumping home.
        const std::int32_t next = host_.NextEventTime(position_);
        position_ = next >= 0 ? next : std::clamp(position_, 0, std::max(host_.SongEnd(), 0));
    }
    autoRewinding_ = false;
    host_.ShowPlayBar(position_);
}
