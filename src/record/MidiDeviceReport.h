#pragma once

#include <cstdint>
#include <vector>

#include "record/MidiInputSystem.h"
#include "util/Messages.h"

// What recording found wrong with the input ports: one entry per port, fine ones
// included, and one message box for each port that has a problem. A report without
// entries says that there are no ports at all.
struct MidiDeviceReport {
    enum Status : int {
        kFine = 0,
        kDriverError = 1,
        kLongMessageError = 2,
        kTooFast = 3,
        kNotOpened = 4,
    };
    struct Entry {
        MidiInputPortInfo info;
        int status = kFine;
        AString openError; // why the port did not open
        std::uint32_t message = 0;
        std::uint32_t time = 0;
    };

    static constexpr const char* kNoDevices = "There are no MIDI recording devices!";

    std::vector<Entry> entries;

    bool HasProblem() const;
    // The message boxes, in port order: titled with the program's name, exclamation icon.
    std::vector<Message> Messages() const;
    void Show() const;
};
