#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>

class EventQueue;
class MidiSink;

// The consuming end of the play stream: hands every event that is due to a sink and
// keeps what the real-time side must know (which notes sound, where the music is).
// One thread drives it; position and end are published for the others.
class Sequencer {
public:
    explicit Sequencer(EventQueue& queue) : queue_(queue) {}

    // Before a play, while nothing consumes.
    void Reset(std::int32_t ticksPerQuarter, std::int32_t startTick);

    // Dispatches every queued event due at or before `now` (nanoseconds into the play).
    void Advance(std::int64_t now, MidiSink& sink);
    // Due time of the next queued event; false when none is queued.
    bool NextDue(std::int64_t& due) const;
    // Ends every sounding note and cue sound, lifts the sustain pedal on every channel
    // used, and ends the play.
    void Silence(MidiSink& sink, std::int64_t now);

    bool Ended() const { return ended_.load(std::memory_order_acquire); }
    std::int32_t Position() const { return position_.load(std::memory_order_acquire); }
    // Time of the last Advance.
    std::int64_t Now() const { return now_.load(std::memory_order_acquire); }
    // Once ended: when the music ended (the end mark's time, or that of the silencing).
    std::int64_t EndTime() const { return endTime_.load(std::memory_order_acquire); }

private:
    std::int32_t PositionAt(std::int64_t now) const;

    EventQueue& queue_;
    std::int32_t ticksPerQuarter_ = 384;
    std::int64_t anchorTick_ = 0;
    std::int64_t anchorDue_ = 0;
    std::int32_t tempo_ = 500000;
    std::int32_t endTick_ = 0;
    std::array<std::bitset<128>, 16> sounding_{};
    std::bitset<16> channelsUsed_;

    std::atomic<bool> ended_{false};
    std::atomic<std::int32_t> position_{0};
    std::atomic<std::int64_t> now_{0};
    std::atomic<std::int64_t> endTime_{0};
};
