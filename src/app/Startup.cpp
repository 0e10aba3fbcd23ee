#include "app/Startup.h"

#include "devices/Chords.h"
#include "devices/MidiDevice.h"
#include "util/HomeDirectory.h"
#include "util/INIFile.h"

ProgramEnvironment::ProgramEnvironment() = default;

bool ProgramEnvironment::Start(std::string& error) {
    home_ = ResolveHomeDirectory(&error);
    if (home_.empty())
        return false;
    resources_ = ResourceDirectory();
    if (SeedHomeDirectory(home_, resources_, &error) < 0)
        return false;
    ini_ = std::make_unique<INIFile>(home_);
    INIFile::SetGlobal(ini_.get());
    InstallMidiDeviceLoader();
    Chords::Global().Load(home_ / Chords::kFileName);
    return true;
}

ProgramEnvironment::~ProgramEnvironment() {
    if (INIFile::Global() == ini_.get()) {
        INIFile::SetGlobal(nullptr);
        SetSongDeviceLoader({});
    }
}
