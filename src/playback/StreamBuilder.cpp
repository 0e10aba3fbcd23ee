#include "playback/StreamBuilder.h"

#include <algorithm>
#include <limits>

#include "model/MidiMsg.h"
#include "playback/EventQueue.h"

namespace {

constexpr std::int64_t kNsPerMs = 1000000;
constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max() / 4;

std::int32_t ClampTick(std::int64_t tick) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(tick, 0, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

bool StreamBuilder::OffLater(const HeldOff& a, const HeldOff& b) {
    return a.tick != b.tick ? a.tick > b.tick : a.order > b.order;
}

void StreamBuilder::Reset(std::int32_t ticksPerQuarter) {
    ticksPerQuarter_ = ticksPerQuarter > 0 ? ticksPerQuarter : 384;
    started_ = finished_ = tempoFromStart_ = false;
    startTick_ = 0;
    groupTick_ = groupDue_ = 0;
    groupSerial_ = 0;
    groupStart_ = 0;
    dueBeforeGroup_ = 0;
    anchorTick_ = anchorDue_ = 0;
    tempo_ = 500000;
    lastDue_ = 0;
    lastOffTick_ = 0;
    channelDue_.fill(0);
    channelSerial_.fill(0);
    instrument_.fill(Instrument{});
    for (auto& keys : sounding_)
        keys.fill(0);
    offs_.clear();
    offOrder_ = 0;
    ready_.clear();
}

void StreamBuilder::SetProgramChangeDelay(unsigned milliseconds) {
    delayNs_ = static_cast<std::int64_t>(milliseconds) * kNsPerMs;
}

std::int64_t StreamBuilder::DueAt(std::int64_t tick) const {
    const long double ns = static_cast<long double>(tick - anchorTick_) * tempo_ * 1000.0L /
                           static_cast<long double>(ticksPerQuarter_);
    const long double due = static_cast<long double>(anchorDue_) + ns;
    if (due >= static_cast<long double>(kLatest))
        return kLatest;
    return std::max<std::int64_t>(anchorDue_, static_cast<std::int64_t>(due + 0.5L));
}

PlayEvent StreamBuilder::MakeEvent(PlayEvent::Type type) const {
    PlayEvent event;
    event.type = type;
    event.due = groupDue_;
    event.tick = ClampTick(groupTick_);
    event.tempo = tempo_;
    return event;
}

void StreamBuilder::Append(PlayEvent event) {
    event.due = std::max(event.due, lastDue_);
    lastDue_ = event.due;
    if (event.type != PlayEvent::kTempo)
        tempoFromStart_ = false;
    ready_.push_back(event);
}

void StreamBuilder::AppendMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                               int size) {
    PlayEvent event = MakeEvent(PlayEvent::kMidi);
    event.size = static_cast<std::uint8_t>(size);
    event.bytes[0] = status;
    event.bytes[1] = data1;
    event.bytes[2] = data2;
    const int channel = status & 0x0F;
    Append(event);
    channelDue_[channel] = lastDue_;
    channelSerial_[channel] = groupSerial_;
}

void StreamBuilder::EnsureStarted() {
    if (!started_)
        BeginGroup(0, 0);
}

void StreamBuilder::BeginGroup(std::int32_t delta, std::int32_t absoluteTick) {
    if (finished_)
        return;
    delta = std::max(delta, 0);
    ++groupSerial_;
    if (!started_) {
        started_ = true;
        startTick_ = std::max(absoluteTick - delta, 0);
        groupTick_ = anchorTick_ = startTick_;
        groupDue_ = anchorDue_ = 0;
        // The position starts here even before the first group sounds.
        Append(MakeEvent(PlayEvent::kTempo));
        tempoFromStart_ = true;
    } else {
        tempoFromStart_ = false;
    }
    const std::int64_t tick = groupTick_ + delta;
    FlushOffs(tick);
    groupTick_ = tick;
    groupDue_ = DueAt(tick);
    groupStart_ = ready_.size();
    dueBeforeGroup_ = lastDue_;
}

void StreamBuilder::Tempo(std::int32_t microsPerQuarter) {
    EnsureStarted();
    if (finished_ || microsPerQuarter <= 0)
        return;
    tempo_ = microsPerQuarter;
    if (tempoFromStart_) {
        // The tempo of the first group also times the lead-in from the start tick.
        ready_.front().tempo = tempo_;
        groupDue_ = DueAt(groupTick_);
        dueBeforeGroup_ = lastDue_;
        return;
    }
    anchorTick_ = groupTick_;
    anchorDue_ = groupDue_;
    Append(MakeEvent(PlayEvent::kTempo));
}

void StreamBuilder::Note(std::uint8_t channel, std::uint8_t key, std::int32_t duration,
                         std::uint8_t velocity, int bank, std::uint8_t program,
                         std::uint8_t releaseVelocity) {
    EnsureStarted();
    if (finished_ || channel > 15 || key > 127 || velocity == 0)
        return;
    velocity = std::min<std::uint8_t>(velocity, 127);
    releaseVelocity = std::min<std::uint8_t>(releaseVelocity, 127);
    duration = std::clamp(duration, 0, 65535);
    if (!channelSpecific_ && program < 128) {
        const int b = bank < 0 ? -1 : std::min(bank, 16383);
        if (instrument_[channel].program != program || instrument_[channel].bank != b)
            SendInstrument(channel, b, program);
    }
    auto& count = sounding_[channel][key];
    // The same key struck again while it sounds: end it first, and end the key only
    // when the last of the overlapping notes is over.
    if (count > 0)
        AppendMidi(static_cast<std::uint8_t>(0x80 | channel), key, 0, 3);
    AppendMidi(static_cast<std::uint8_t>(0x90 | channel), key, velocity, 3);
    ++count;
    offs_.push_back({groupTick_ + duration, offOrder_++, channel, key, releaseVelocity});
    std::push_heap(offs_.begin(), offs_.end(), OffLater);
}

void StreamBuilder::SendInstrument(std::uint8_t channel, int bank, std::uint8_t program) {
    std::int64_t due = std::max(groupDue_ - delayNs_, dueBeforeGroup_);
    if (channelDue_[channel] > due)
        due = channelDue_[channel];
    if (delayNs_ > 0 && due + delayNs_ > groupDue_)
        ShiftGroup(due + delayNs_ - groupDue_);

    PlayEvent event = MakeEvent(PlayEvent::kMidi);
    event.due = due;
    std::vector<PlayEvent> change;
    if (bank >= 0) {
        event.size = 3;
        event.bytes[0] = static_cast<std::uint8_t>(0xB0 | channel);
        event.bytes[1] = 0;
        event.bytes[2] = static_cast<std::uint8_t>((bank >> 7) & 0x7F);
        change.push_back(event);
        event.bytes[1] = 32;
        event.bytes[2] = static_cast<std::uint8_t>(bank & 0x7F);
        change.push_back(event);
    }
    event.size = 2;
    event.bytes[0] = static_cast<std::uint8_t>(0xC0 | channel);
    event.bytes[1] = program;
    event.bytes[2] = 0;
    change.push_back(event);

    // Into the group at its time, after whatever of the group is due no later.
    auto where = std::find_if(ready_.begin() + static_cast<std::ptrdiff_t>(groupStart_),
                              ready_.end(), [due](const PlayEvent& e) { return e.due > due; });
    ready_.insert(where, change.begin(), change.end());
    lastDue_ = std::max(lastDue_, due);
    channelDue_[channel] = due;
    channelSerial_[channel] = groupSerial_;
    instrument_[channel] = {program, bank};
}

void StreamBuilder::ShiftGroup(std::int64_t nanoseconds) {
    groupDue_ += nanoseconds;
    anchorDue_ += nanoseconds;
    for (std::size_t i = groupStart_; i < ready_.size(); ++i)
        ready_[i].due += nanoseconds;
    for (std::size_t c = 0; c < 16; ++c)
        if (channelSerial_[c] == groupSerial_)
            channelDue_[c] += nanoseconds;
    lastDue_ = std::max(lastDue_ + nanoseconds, groupDue_);
    // The play position waits with the music.
    anchorTick_ = groupTick_;
    anchorDue_ = groupDue_;
    Append(MakeEvent(PlayEvent::kTempo));
    tempoFromStart_ = false;
}

void StreamBuilder::Control(std::uint8_t channel, unsigned controller, unsigned value,
                            bool sevenBit) {
    EnsureStarted();
    if (finished_ || channel > 15 || controller > 127)
        return;
    const auto status = static_cast<std::uint8_t>(0xB0 | channel);
    const auto number = static_cast<std::uint8_t>(controller);
    if (sevenBit) {
        AppendMidi(status, number, static_cast<std::uint8_t>(std::min(value, 127u)), 3);
        return;
    }
    value = std::min(value, 16383u);
    AppendMidi(status, number, static_cast<std::uint8_t>(value >> 7), 3);
    const int fine = FinePartner(static_cast<int>(controller));
    if (fine >= 0)
        AppendMidi(status, static_cast<std::uint8_t>(fine), static_cast<std::uint8_t>(value & 0x7F),
                   3);
}

void StreamBuilder::PitchBend(std::uint8_t channel, unsigned value) {
    EnsureStarted();
    if (finished_ || channel > 15)
        return;
    value = std::min(value, 16383u);
    AppendMidi(static_cast<std::uint8_t>(0xE0 | channel), static_cast<std::uint8_t>(value & 0x7F),
               static_cast<std::uint8_t>(value >> 7), 3);
}

void StreamBuilder::Sound(const SoundBuffer* sound) {
    EnsureStarted();
    if (finished_ || !sound)
        return;
    PlayEvent event = MakeEvent(PlayEvent::kSound);
    event.sound = sound;
    Append(event);
}

void StreamBuilder::FlushOffs(std::int64_t upToTick) {
    while (!offs_.empty() && offs_.front().tick <= upToTick) {
        std::pop_heap(offs_.begin(), offs_.end(), OffLater);
        const HeldOff off = offs_.back();
        offs_.pop_back();
        auto& count = sounding_[off.channel][off.key];
        if (count == 0 || --count > 0)
            continue;
        PlayEvent event;
        event.type = PlayEvent::kMidi;
        event.due = DueAt(off.tick);
        event.tick = ClampTick(off.tick);
        event.tempo = tempo_;
        event.size = 3;
        event.bytes[0] = static_cast<std::uint8_t>(0x80 | off.channel);
        event.bytes[1] = off.key;
        event.bytes[2] = off.velocity;
        Append(event);
        channelDue_[off.channel] = lastDue_;
        lastOffTick_ = std::max(lastOffTick_, off.tick);
    }
}

void StreamBuilder::Finish() {
    if (finished_)
        return;
    EnsureStarted();
    FlushOffs(std::numeric_limits<std::int64_t>::max());
    PlayEvent end = MakeEvent(PlayEvent::kEnd);
    end.tick = ClampTick(std::max(groupTick_, lastOffTick_));
    end.due = std::max(groupDue_, lastDue_);
    Append(end);
    finished_ = true;
}

std::size_t StreamBuilder::MoveTo(EventQueue& queue) {
    std::size_t moved = 0;
    while (moved < ready_.size() && queue.Push(ready_[moved]))
        ++moved;
    if (moved == 0)
        return ready_.size();
    dueBeforeGroup_ = std::max(dueBeforeGroup_, ready_[moved - 1].due);
    ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(moved));
    groupStart_ = groupStart_ > moved ? groupStart_ - moved : 0;
    tempoFromStart_ = false;
    return ready_.size();
}
