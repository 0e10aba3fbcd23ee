#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "playback/PlayEvent.h"

class EventQueue;

// Turns the player's message groups into play events in time order, on the feeding
// thread. Ticks become nanoseconds through the tempo changes as they arrive; note offs
// wait here until the groups have passed their tick, so that every tempo change before
// them is known and the stream stays in order.
class StreamBuilder {
public:
    StreamBuilder() { Reset(384); }

    // Begins a new stream.
    void Reset(std::int32_t ticksPerQuarter);
    void SetChannelSpecificInstruments(bool on) { channelSpecific_ = on; }
    void SetProgramChangeDelay(unsigned milliseconds);

    void BeginGroup(std::int32_t delta, std::int32_t absoluteTick);
    void Tempo(std::int32_t microsPerQuarter);
    void Note(std::uint8_t channel, std::uint8_t key, std::int32_t duration, std::uint8_t velocity,
              int bank, std::uint8_t program, std::uint8_t releaseVelocity);
    void Control(std::uint8_t channel, unsigned controller, unsigned value, bool sevenBit);
    void PitchBend(std::uint8_t channel, unsigned value);
    void Sound(const SoundBuffer* sound);
    // No more groups: the remaining note offs and the end mark follow.
    void Finish();
    bool Finished() const { return finished_; }

    // Events made and not yet handed to a queue, in order.
    const std::vector<PlayEvent>& Ready() const { return ready_; }
    // Hands over as many ready events as the queue takes; returns how many are left.
    std::size_t MoveTo(EventQueue& queue);
    // Due time of the latest event made so far.
    std::int64_t LastDue() const { return lastDue_; }
    std::int32_t StartTick() const { return startTick_; }

private:
    struct HeldOff {
        std::int64_t tick;
        std::uint64_t order;
        std::uint8_t channel;
        std::uint8_t key;
        std::uint8_t velocity;
    };
    struct Instrument {
        int program = -1;
        int bank = -1;
    };

    static bool OffLater(const HeldOff& a, const HeldOff& b);
    void EnsureStarted();
    std::int64_t DueAt(std::int64_t tick) const;
    void Append(PlayEvent event);
    void AppendMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int size);
    void FlushOffs(std::int64_t upToTick);
    void SendInstrument(std::uint8_t channel, int bank, std::uint8_t program);
    void ShiftGroup(std::int64_t nanoseconds);
    PlayEvent MakeEvent(PlayEvent::Type type) const;

    std::int32_t ticksPerQuarter_ = 384;
    bool channelSpecific_ = false;
    std::int64_t delayNs_ = 0;

    bool started_ = false;
    bool finished_ = false;
    bool tempoFromStart_ = false; // a tempo change now still counts from the start tick
    std::int32_t startTick_ = 0;
    std::int64_t groupTick_ = 0;
    std::int64_t groupDue_ = 0;
    std::uint64_t groupSerial_ = 0;
    std::size_t groupStart_ = 0;      // index in ready_ of the group's first event
    std::int64_t dueBeforeGroup_ = 0; // nothing may be placed before this
    std::int64_t anchorTick_ = 0;
    std::int64_t anchorDue_ = 0;
    std::int32_t tempo_ = 500000;
    std::int64_t lastDue_ = 0;
    std::int64_t lastOffTick_ = 0;

    std::array<std::int64_t, 16> channelDue_{};
    std::array<std::uint64_t, 16> channelSerial_{};
    std::array<Instrument, 16> instrument_{};
    std::array<std::array<std::uint16_t, 128>, 16> sounding_{};
    std::vector<HeldOff> offs_; // a heap, earliest first
    std::uint64_t offOrder_ = 0;

    std::vector<PlayEvent> ready_;
};
