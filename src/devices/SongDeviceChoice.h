#pragma once

#include <optional>

#include "devices/DeviceList.h"

// The "Song Device Selection" choice: the device definitions of the home directory, with
// the song's own preselected.
class SongDeviceChoice {
public:
    static constexpr const char* kNoChoice = "Please select a device to continue.";

    explicit SongDeviceChoice(const AString& songDeviceFile);

    const std::vector<DeviceList::Entry>& Entries() const { return devices_.Entries(); }
    // The entry of the song's device file, or -1.
    int Preselected() const { return preselected_; }

    // OK with `selected` (-1 for none): the chosen file name, or the refusal.
    std::optional<Message> Choose(int selected, AString& fileName) const;

private:
    DeviceList devices_;
    int preselected_ = -1;
};
