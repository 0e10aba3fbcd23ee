#include "devices/ShippedDefaults.h"

#include <cstdint>

#include "devices/Chords.h"
#include "devices/KeyTranslator.h"
#include "devices/MidiController.h"
#include "devices/MidiDevice.h"
#include "util/AtomicFile.h"
#include "util/INIFile.h"

namespace {

struct ControllerDefault {
    std::int16_t number;
    const char* name;
    bool onOff;
    std::int16_t low, high, defaultValue;
};

// Controllers 0 to 31 carry coarse * 128 + fine, so their ranges are 14-bit.
constexpr ControllerDefault kGeneralMidiControllers[] = {
    {1, "Modulation", false, 0, 16383, 0},      {2, "Breath", false, 0, 16383, 0},
    {4, "Foot Controller", false, 0, 16383, 0}, {5, "Portamento Time", false, 0, 16383, 0},
    {7, "Volume", false, 0, 16383, 100 * 128},  {8, "Balance", false, 0, 16383, 64 * 128},
    {10, "Pan", false, 0, 16383, 64 * 128},     {11, "Expression", false, 0, 16383, 16383},
    {64, "Sustain Pedal", true, 0, 127, 0},     {65, "Portamento", true, 0, 127, 0},
    {66, "Sostenuto", true, 0, 127, 0},         {67, "Soft Pedal", true, 0, 127, 0},
    {71, "Resonance", false, 0, 127, 64},       {72, "Release Time", false, 0, 127, 64},
    {73, "Attack Time", false, 0, 127, 64},     {74, "Brightness", false, 0, 127, 64},
    {91, "Reverb", false, 0, 127, 40},          {93, "Chorus", false, 0, 127, 0},
};

// The writers resolve names against the installed settings' home directory.
class UseDirectory {
public:
    explicit UseDirectory(const std::filesystem::path& directory)
        : ini_(directory), previous_(INIFile::Global()) {
        INIFile::SetGlobal(&ini_);
    }
    ~UseDirectory() { INIFile::SetGlobal(previous_); }
    UseDirectory(const UseDirectory&) = delete;
    UseDirectory& operator=(const UseDirectory&) = delete;
    INIFile& Ini() { return ini_; }

private:
    INIFile ini_;
    INIFile* previous_;
};

} // namespace

bool WriteShippedDefaults(const std::filesystem::path& directory, std::string& error) {
    UseDirectory use(directory);

    MidiDevice device;
    device.SetName("General MIDI");
    device.SetFileName("GENERAL.MDV");
    for (const ControllerDefault& c : kGeneralMidiControllers) {
        MidiController controller;
        controller.SetName(c.name);
        controller.SetNumber(c.number);
        controller.SetOnOff(c.onOff);
        controller.SetRange(c.low, c.high);
        controller.SetDefaultValue(c.defaultValue);
        if (!controller.Write()) {
            error = std::string("Cannot write the controller ") + c.name;
            return false;
        }
        device.AddControllerFile(controller.FileName());
    }
    if (!device.Write()) {
        error = "Cannot write GENERAL.MDV";
        return false;
    }

    if (!Chords().Save(directory / Chords::kFileName)) {
        error = std::string("Cannot write ") + Chords::kFileName;
        return false;
    }

    // The settings file must exist before a value can be written to it.
    if (!AtomicFile::Replace(use.Ini().FilePath(), "")) {
        error = "Cannot write " + use.Ini().FilePath().string();
        return false;
    }
    KeyTranslator keys(use.Ini());
    keys.SetEntries(KeyTranslator::DefaultTable());
    keys.Save(use.Ini());
    if (KeyTranslator(use.Ini()).Entries() != KeyTranslator::DefaultTable()) {
        error = "Cannot write the key table to " + use.Ini().FilePath().string();
        return false;
    }
    return true;
}
