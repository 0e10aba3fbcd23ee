#pragma once

#include <cstdint>
#include <vector>

#include "util/AString.h"
#include "util/Refusal.h"

class MidiDevice;

// The list of "Controller Selection" apart from its controls: "Pitch Bend" first, then
// the 128 controller numbers, each with its name where the song's device defines it.
class ControllerSelChoice {
public:
    static constexpr const char* kReserved =
        "Controllers 0 and 32 are reserved\nfor the bank select command.";

    // `device` may be null: numbers alone.
    explicit ControllerSelChoice(const MidiDevice* device);

    const std::vector<AString>& Entries() const { return entries_; }
    // The entry of a controller number (255 is pitch bend, entry 0).
    static int IndexOf(std::uint8_t controller);
    static std::uint8_t ControllerAt(int index);
    // OK on an entry: bank select is not a controller the graph may draw.
    static Refusal Check(int index);

private:
    std::vector<AString> entries_;
};
