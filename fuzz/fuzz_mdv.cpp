#include <cstdint>
#include <sstream>
#include <string>

#include "devices/MidiDevice.h"

// Reads bytes as a device definition; whatever reads as valid must write back to bytes
// that read the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    MidiDevice device;
    if (!device.ReadFrom(in))
        return 0;
    const std::string written = device.Bytes();
    std::istringstream again(written);
    MidiDevice copy;
    if (!copy.ReadFrom(again) || copy.Bytes() != written)
        __builtin_trap();
    for (const AString* file : device.ControllerFiles())
        if (file)
            (void)device.HasControllerFile(*file);
    return 0;
}
