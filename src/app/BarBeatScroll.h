#pragma once

#include <cstdint>

class Song;

// The horizontal position every view of a song window shares, on the song's grid of
// bars and beats: the first bar and beat shown, and the same place in ticks.
class BarBeatScroll {
public:
    explicit BarBeatScroll(Song& song) : song_(song) {}

    std::int32_t Bar() const { return bar_; }
    std::int32_t Beat() const { return beat_; }
    std::int32_t Time() const { return time_; }

    // Each returns whether the position moved.
    bool LineLeft();
    bool LineRight();
    bool PageLeft();
    bool PageRight();
    bool Home();
    bool End();
    bool ToBar(std::int32_t bar);
    // To the beat that holds `tick`.
    bool ToTime(std::int32_t tick);
    // The last bar a scroll bar should offer.
    std::int32_t LastBar() const;
    // Keeps the position inside a song that got shorter.
    void Revalidate();

private:
    bool Set(std::int32_t bar, std::int32_t beat);
    std::int32_t BeatsIn(std::int32_t bar) const;
    std::int32_t TickOf(std::int32_t bar, std::int32_t beat) const;

    Song& song_;
    std::int32_t bar_ = 0;
    std::int32_t beat_ = 0;
    std::int32_t time_ = 0;
};
