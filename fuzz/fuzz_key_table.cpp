#include <cstdint>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "devices/KeyTranslator.h"
#include "util/INIFile.h"

// One entry's text, and the whole settings file as a key table: an entry that parses
// formats back to itself, a loaded table only holds entries that exist, and a saved
// table loads back equal.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AString text(reinterpret_cast<const char*>(data), size);
    KeyTranslation entry;
    if (KeyTranslator::Parse(text, entry)) {
        KeyTranslation again;
        if (!KeyTranslator::Parse(KeyTranslator::Format(entry), again) || !(again == entry))
            __builtin_trap();
    }

    INIFile ini(FuzzHome());
    {
        std::ofstream out(ini.FilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    KeyTranslator keys(ini);
    for (const KeyTranslation& e : keys.Entries())
        if (!IsKeyOperation(ToCode(e.operation)) || e.shift > 2 || e.ctrl > 2 || e.alt > 2 ||
            e.shift < 0 || e.ctrl < 0 || e.alt < 0)
            __builtin_trap();
    KeyOperation operation{};
    (void)keys.Find(static_cast<std::uint8_t>(size), true, false, true, operation);
    const KeyTranslationList table = keys.Entries();
    keys.Save(ini);
    if (KeyTranslator(ini).Entries() != table)
        __builtin_trap();
    return 0;
}
