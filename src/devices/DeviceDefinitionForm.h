#pragma once

#include <optional>
#include <vector>

#include "devices/MidiDevice.h"
#include "util/Messages.h"

// The fields of the "Device Definition" dialog over one device: its name, the controllers
// it has and those of the home directory it could have, the instrument flag and the
// program change delay (typed text, checked on OK).
class DeviceDefinitionForm {
public:
    struct Controller {
        AString fileName;
        AString label; // "7: Volume"; the file name for a file that cannot be read
    };

    // Reads the device's controllers and every valid "*.CTR" of the home directory it
    // does not list.
    explicit DeviceDefinitionForm(const MidiDevice& device);

    const std::vector<Controller>& Available() const { return available_; }
    const std::vector<Controller>& DeviceControllers() const { return device_; }

    // Moves the entry at `index` to the end of the other list. Returns the selection the
    // list it left keeps: the same index, or the last entry, or -1 when it is empty.
    int Add(int index);
    int Remove(int index);

    // OK: the device takes the fields; refused (device unchanged) when the delay is no
    // number of milliseconds from 0 to 65535.
    std::optional<Message> ApplyTo(MidiDevice& device) const;

    AString name;
    bool channelSpecific = false;
    AString delay;

private:
    static int Move(std::vector<Controller>& from, std::vector<Controller>& to, int index);

    std::vector<Controller> available_;
    std::vector<Controller> device_;
};
