#include "views/ControllerSelChoice.h"

#include <algorithm>

#include "devices/MidiDevice.h"
#include "model/MidiMsg.h"

ControllerSelChoice::ControllerSelChoice(const MidiDevice* device) {
    entries_.reserve(129);
    entries_.emplace_back("Pitch Bend");
    for (int n = 0; n < 128; ++n) {
        AString entry(std::to_string(n));
        if (const MidiController* c = device ? device->Controller(n) : nullptr)
            entry += AString(" - ") + c->Name();
        entries_.push_back(std::move(entry));
    }
}

int ControllerSelChoice::IndexOf(std::uint8_t controller) {
    return controller == kPitchBend ? 0 : std::min<int>(controller, 127) + 1;
}

std::uint8_t ControllerSelChoice::ControllerAt(int index) {
    return index <= 0 ? kPitchBend : static_cast<std::uint8_t>(std::min(index - 1, 127));
}

Refusal ControllerSelChoice::Check(int index) {
    const std::uint8_t controller = ControllerAt(index);
    if (controller == 0 || controller == 32)
        return Refusal(kReserved, MessageIcon::Information);
    return {};
}
