#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "util/INIFile.h"
#include "util/KnownSettings.h"
#include "util/SettingsReport.h"

// Bytes as the settings file: every known number stays within its range, whatever the
// file says; a value written reads back as written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    INIFile ini(FuzzHome());
    {
        std::ofstream out(ini.FilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const SettingRange& range : KnownSettings::All()) {
        const double value = range.integer ? static_cast<double>(ini.ReadInt(range.key, 1))
                                           : ini.ReadDouble(range.key, 1);
        // 1 is what a missing or unreadable value gives here.
        if (value != 1 && !(value >= range.low && value <= range.high))
            __builtin_trap();
    }
    ini.CheckKnownSettings();
    SettingsReport::Global().Clear();
    std::size_t end = 0;
    while (end < size && data[end] != '=' && data[end] != '\n' && data[end] != '\r')
        ++end;
    const AString key(reinterpret_cast<const char*>(data), end);
    if (!key.IsEmpty() && key[0] != ';' && ini.WriteString(key, "written value")) {
        AString back;
        if (!ini.ReadString(key, back) || back.str() != "written value")
            __builtin_trap();
    }
    return 0;
}
