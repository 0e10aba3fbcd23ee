#pragma once

#include <optional>

#include "devices/MidiController.h"
#include "util/Messages.h"

// The fields of the "Controller Definition" dialog as typed, checked on OK.
class ControllerForm {
public:
    static constexpr long kHighestNumber = 119;

    explicit ControllerForm(const MidiController& controller);

    // OK: the numbers are read and checked field by field, then the range and the
    // default; the controller takes them or stays as it was and the message is returned.
    // A switch hides the range and default fields, so they are not checked then.
    std::optional<Message> ApplyTo(MidiController& controller) const;

    AString name;
    AString number;
    bool onOff = false;
    AString low;
    AString high;
    AString defaultValue;
};
