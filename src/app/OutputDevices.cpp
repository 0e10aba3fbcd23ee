#include "app/OutputDevices.h"

#include <algorithm>
#include <cctype>

namespace {

bool NamesExternalPort(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name.find("MPU") != std::string::npos || name.find("EXTERNAL") != std::string::npos ||
           name.find("OUT") != std::string::npos;
}

} // namespace

int ChooseOutputDevice(long setting, const std::vector<std::string>& portNames) {
    const long count = static_cast<long>(portNames.size());
    if (setting == -2) {
        if (count == 0)
            return -1;
        for (long i = 0; i < count; ++i)
            if (!NamesExternalPort(portNames[static_cast<std::size_t>(i)]))
                return static_cast<int>(i);
        return static_cast<int>(count - 1);
    }
    if (setting >= 0 && setting < count)
        return static_cast<int>(setting);
    return -1;
}
