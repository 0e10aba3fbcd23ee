#include "record/MidiTakeBuilder.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/MidiMsg.h"
#include "model/Song.h"

namespace {

constexpr std::uint32_t kAbsurdStamp = 100000000; // ms: over a day

// Controllers whose values have a fine partner hold 14-bit values in the song.
bool HasFinePartner(int controller) {
    return controller <= 31 || controller == 99 || controller == 101;
}

} // namespace

MidiTakeBuilder::MidiTakeBuilder(Song& take, std::int32_t usPerQuarter, bool relativeTimes)
    : take_(take),
      ticksPerMs_(take.TicksPerQuarter() * 1000.0 / std::max<std::int32_t>(usPerQuarter, 1)),
      relative_(relativeTimes) {
    bank_.fill(kNoBank);
}

std::int32_t MidiTakeBuilder::Ticks(std::uint32_t ms) const {
    return static_cast<std::int32_t>(
        std::min<double>(std::trunc(ms * ticksPerMs_), static_cast<double>(kEndTick)));
}

void MidiTakeBuilder::Add(const MidiRecordEntry& message) {
    const int kind = message.status & 0xF0;
    const int channel = message.status & 0x0F;
    std::uint32_t stamp = message.time;
    if (!baseSet_) {
        if (stamp > kAbsurdStamp)
            stamp = 0;
        // A flag, not a base of 0: a first message at 0 ms is a base too, and taking the
        // next message's time as the base would shift the whole take.
        if (kind != 0xC0) {
            base_ = stamp;
            baseSet_ = true;
        }
    }
    if (relative_)
        stamp = stamp >= base_ ? stamp - base_ : 0;
    const std::int32_t tick = Ticks(stamp);
    const bool bank = kind == 0xB0 && (message.data1 == 0 || message.data1 == 32);

    switch (kind) {
    case 0xC0:
        program_[channel] = message.data1 & 0x7F;
        break;
    case 0x90:
        if (message.data2 > 0) {
            // A second note-on on a held key starts the note again.
            pending_[channel][message.data1 & 0x7F] = {tick, message.data2};
            break;
        }
        NoteOff(channel, message.data1 & 0x7F, tick, 0);
        break;
    case 0x80:
        NoteOff(channel, message.data1 & 0x7F, tick, message.data2);
        break;
    case 0xB0:
        if (bank) {
            std::int32_t value = previousWasBank_ && bank_[channel] != kNoBank ? bank_[channel] : 0;
            if (message.data1 == 0)
                value = message.data2 * 128 + (value & 0x7F);
            else
                value = (message.data2 & 0x7F) + (value & 0x3F80);
            bank_[channel] = value;
        } else {
            const int controller = message.data1 & 0x7F;
            const int value = HasFinePartner(controller) ? message.data2 * 128 : message.data2;
            take_.AddMsg(
                tick, std::make_unique<MidiMsgControlChange>(static_cast<std::uint8_t>(channel),
                                                             static_cast<std::uint8_t>(controller),
                                                             static_cast<std::uint16_t>(value)));
        }
        break;
    case 0xE0:
        take_.AddMsg(tick, std::make_unique<MidiMsgControlChange>(
                               static_cast<std::uint8_t>(channel), kPitchBend,
                               static_cast<std::uint16_t>(message.data2 * 128 + message.data1)));
        break;
    default:
        break; // pressure and system messages are not recorded
    }
    previousWasBank_ = bank;
}

void MidiTakeBuilder::NoteOff(int channel, int key, std::int32_t tick,
                              std::uint8_t releaseVelocity) {
    Pending& held = pending_[channel][key];
    if (held.velocity == 0)
        return;
    // A key let go within the same tick still makes a note that sounds.
    const std::int32_t length = std::max(tick - held.onTick, 1);
    take_.AddMsg(held.onTick,
                 std::make_unique<MidiMsgNote>(
                     static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(key),
                     held.velocity, length, program_[channel], bank_[channel], releaseVelocity));
    held = {};
}

std::size_t MidiTakeBuilder::PendingNotes() const {
    std::size_t count = 0;
    for (const auto& keys : pending_)
        for (const Pending& p : keys)
            count += p.velocity != 0;
    return count;
}
