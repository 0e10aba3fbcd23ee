#include <cstdint>
#include <sstream>
#include <string>

#include "devices/MidiController.h"

// Reads bytes as a controller definition; a valid one must survive a write and read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    MidiController controller;
    if (!controller.ReadFrom(in))
        return 0;
    const std::string written = controller.Bytes();
    std::istringstream again(written);
    MidiController copy;
    if (!copy.ReadFrom(again) || copy.Bytes() != written)
        __builtin_trap();
    (void)controller.ListEntry();
    return 0;
}
