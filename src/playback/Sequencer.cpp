#include "playback/Sequencer.h"

#include <algorithm>
#include <limits>

#include "playback/EventQueue.h"
#include "playback/MidiSink.h"
#include "playback/SoundBuffer.h"

void Sequencer::Reset(std::int32_t ticksPerQuarter, std::int32_t startTick) {
    ticksPerQuarter_ = ticksPerQuarter > 0 ? ticksPerQuarter : 384;
    anchorTick_ = startTick;
    anchorDue_ = 0;
    tempo_ = 500000;
    endTick_ = 0;
    for (auto& keys : sounding_)
        keys.reset();
    channelsUsed_.reset();
    ended_.store(false, std::memory_order_release);
    endTime_.store(0, std::memory_order_release);
    position_.store(startTick, std::memory_order_release);
    now_.store(0, std::memory_order_release);
}

std::int32_t Sequencer::PositionAt(std::int64_t now) const {
    if (Ended())
        return endTick_;
    if (now <= anchorDue_)
        return static_cast<std::int32_t>(anchorTick_);
    const double ticks = static_cast<double>(now - anchorDue_) * ticksPerQuarter_ /
                         (static_cast<double>(tempo_) * 1000.0);
    const double tick = static_cast<double>(anchorTick_) + ticks;
    return static_cast<std::int32_t>(
        std::min(tick, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

void Sequencer::Advance(std::int64_t now, MidiSink& sink) {
    while (!Ended()) {
        const PlayEvent* event = queue_.Peek();
        if (!event || event->due > now)
            break;
        switch (event->type) {
        case PlayEvent::kMidi: {
            const std::uint8_t status = event->bytes[0] & 0xF0;
            const int channel = event->bytes[0] & 0x0F;
            const int key = event->bytes[1] & 0x7F;
            if (status == 0x90 && event->bytes[2] > 0)
                sounding_[channel].set(key);
            else if (status == 0x80 || status == 0x90)
                sounding_[channel].reset(key);
            channelsUsed_.set(channel);
            sink.SendMidi(event->bytes, event->size, event->due);
            break;
        }
        case PlayEvent::kTempo:
            anchorTick_ = event->tick;
            anchorDue_ = event->due;
            if (event->tempo > 0)
                tempo_ = event->tempo;
            break;
        case PlayEvent::kSound:
            if (event->sound)
                sink.StartSound(*event->sound, event->due);
            break;
        case PlayEvent::kEnd:
            endTick_ = event->tick;
            endTime_.store(event->due, std::memory_order_release);
            ended_.store(true, std::memory_order_release);
            break;
        }
        queue_.Pop();
    }
    now_.store(now, std::memory_order_release);
    position_.store(PositionAt(now), std::memory_order_release);
}

bool Sequencer::NextDue(std::int64_t& due) const {
    const PlayEvent* event = queue_.Peek();
    if (!event)
        return false;
    due = event->due;
    return true;
}

void Sequencer::Silence(MidiSink& sink, std::int64_t now) {
    sink.StopSounds();
    for (int channel = 0; channel < 16; ++channel) {
        for (int key = 0; key < 128; ++key) {
            if (!sounding_[channel].test(key))
                continue;
            const std::uint8_t off[3] = {static_cast<std::uint8_t>(0x80 | channel),
                                         static_cast<std::uint8_t>(key), 0};
            sink.SendMidi(off, 3, now);
        }
        sounding_[channel].reset();
        if (channelsUsed_.test(channel)) {
            const std::uint8_t pedalUp[3] = {static_cast<std::uint8_t>(0xB0 | channel), 64, 0};
            sink.SendMidi(pedalUp, 3, now);
        }
    }
    endTick_ = PositionAt(now);
    endTime_.store(now, std::memory_order_release);
    now_.store(now, std::memory_order_release);
    position_.store(endTick_, std::memory_order_release);
    ended_.store(true, std::memory_order_release);
}
