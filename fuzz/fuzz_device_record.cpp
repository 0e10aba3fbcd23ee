#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "midifile/MidiReader.h"
#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "util/INIFile.h"

namespace {

// A home directory without definitions, so that no record names a file that exists
// there by chance.
INIFile& Settings() {
    static INIFile ini(FuzzHome());
    INIFile::SetGlobal(&ini);
    return ini;
}

std::string Vlq(std::size_t n) {
    std::string out(1, static_cast<char>(n & 0x7F));
    while (n >>= 7)
        out.insert(out.begin(), static_cast<char>(0x80 | (n & 0x7F)));
    return out;
}

} // namespace

// A "DEVICE=" record of any text: parsed and formatted back, and read from a file's
// first track, where it names the device file (anything, a folder or a pipe included).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings();
    const std::string text = "DEVICE=" + std::string(reinterpret_cast<const char*>(data), size);
    AString device;
    if (!ParseDeviceRecord(text, device) || FormatDeviceRecord(device).str() != text)
        __builtin_trap();
    (void)DeviceFilePath(device);

    const std::string events = std::string("\x00\xFF\x01", 3) + Vlq(text.size()) + text +
                               std::string("\x00\x90\x3C\x40\x10\x80\x3C\x00\x00\xFF\x2F\x00", 12);
    const std::size_t length = events.size();
    const std::string file =
        std::string("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14) + "MTrk" +
        std::string{static_cast<char>(length >> 24), static_cast<char>(length >> 16),
                    static_cast<char>(length >> 8), static_cast<char>(length)} +
        events;
    std::unique_ptr<Song> song =
        SongFromBytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    if (!song || song->PointCount() == 0)
        __builtin_trap();
    return 0;
}
