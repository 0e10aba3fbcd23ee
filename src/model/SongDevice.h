#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "util/AString.h"

// What a song needs of its device definition. The device definitions derive from this
// and install a loader; until then songs get a plain device with the defaults.
class SongDevice {
public:
    virtual ~SongDevice() = default;
    virtual bool ChannelSpecificInstruments() const { return false; }
    virtual std::uint16_t ProgramChangeDelay() const { return 0; }
};

using SongDeviceLoader = std::function<std::unique_ptr<SongDevice>(const AString& fileName)>;

// Installs the process-wide loader; an empty function restores the default one.
void SetSongDeviceLoader(SongDeviceLoader loader);
std::unique_ptr<SongDevice> LoadSongDevice(const AString& fileName);

// The "DEFAULTDEVICE" setting, or "GENERAL.MDV" when it is missing or empty.
AString DefaultDeviceFileName();
