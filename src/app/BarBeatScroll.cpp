#include "app/BarBeatScroll.h"

#include <algorithm>

#include "model/Song.h"

std::int32_t BarBeatScroll::BeatsIn(std::int32_t bar) const {
    return std::max(song_.SignatureAtMeasure(bar).numerator, 1);
}

std::int32_t BarBeatScroll::TickOf(std::int32_t bar, std::int32_t beat) const {
    std::int32_t tick = 0;
    if (!song_.MusicalTimeToTick(MusicalTime{bar, beat, 0}, tick))
        tick = song_.MeasureToTick(bar);
    return tick;
}

bool BarBeatScroll::Set(std::int32_t bar, std::int32_t beat) {
    if (bar == bar_ && beat == beat_)
        return false;
    bar_ = bar;
    beat_ = beat;
    time_ = TickOf(bar, beat);
    return true;
}

bool BarBeatScroll::LineLeft() {
    if (beat_ > 0)
        return Set(bar_, beat_ - 1);
    if (bar_ == 0)
        return false;
    return Set(bar_ - 1, BeatsIn(bar_ - 1) - 1);
}

bool BarBeatScroll::LineRight() {
    std::int32_t bar = bar_, beat = beat_ + 1;
    if (beat >= BeatsIn(bar)) {
        ++bar;
        beat = 0;
    }
    if (TickOf(bar, beat) > song_.LastTick())
        return false;
    return Set(bar, beat);
}

bool BarBeatScroll::PageLeft() {
    return Set(std::max(bar_ - 1, 0), bar_ == 0 ? 0 : beat_ < BeatsIn(bar_ - 1) ? beat_ : 0);
}

bool BarBeatScroll::PageRight() {
    const std::int32_t beat = beat_ < BeatsIn(bar_ + 1) ? beat_ : 0;
    if (TickOf(bar_ + 1, beat) > song_.LastTick())
        return false;
    return Set(bar_ + 1, beat);
}

bool BarBeatScroll::Home() {
    return Set(0, 0);
}

bool BarBeatScroll::End() {
    const MusicalTime end = song_.TickToMusicalTime(song_.LastTick());
    return Set(end.measure, end.beat);
}

std::int32_t BarBeatScroll::LastBar() const {
    return song_.TickToMusicalTime(song_.LastTick()).measure;
}

bool BarBeatScroll::ToBar(std::int32_t bar) {
    return Set(std::clamp(bar, 0, LastBar()), 0);
}

bool BarBeatScroll::ToTime(std::int32_t tick) {
    const MusicalTime at = song_.TickToMusicalTime(std::max(tick, 0));
    return Set(at.measure, at.beat);
}

void BarBeatScroll::Revalidate() {
    if (time_ > song_.LastTick())
        End();
    else
        time_ = TickOf(bar_, beat_);
}
