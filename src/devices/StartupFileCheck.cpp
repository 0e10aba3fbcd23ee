#include "devices/StartupFileCheck.h"

#include <sstream>

#include "devices/Chords.h"
#include "devices/DefinitionFiles.h"
#include "devices/KeyTranslator.h"
#include "devices/MidiController.h"
#include "devices/MidiDevice.h"
#include "util/INIFile.h"
#include "util/SettingsReport.h"

namespace {

constexpr const char* kLeftOut = "; it is left out";

// Read without the message boxes the definitions' own constructors show.
template <class Definition> void CheckDefinitions(const char* extension, const char* unreadable) {
    for (const AString& name : DefinitionFileNames(extension)) {
        std::string bytes;
        const FileResult read = ReadDefinitionFile(DefinitionPath(name), bytes);
        std::istringstream in(bytes);
        Definition definition;
        if (!read)
            SettingsReport::Global().Add(name.str(), read.Reason() + kLeftOut);
        else if (!definition.ReadFrom(in))
            SettingsReport::Global().Add(name.str(), unreadable + std::string(kLeftOut));
    }
}

} // namespace

void StartupFileCheck::Run(INIFile& ini) {
    SettingsReport& report = SettingsReport::Global();
    ini.CheckKnownSettings();

    const KeyTranslator keys(ini);
    if (!keys.RejectedEntry().IsEmpty())
        report.Add(INIFile::kFileName, keys.RejectedEntry().str() +
                                           " is no key assignment; the key table ends before it");

    Chords chords;
    if (const FileResult loaded = chords.Load(ini.HomeDirectory() / Chords::kFileName); !loaded)
        report.Add(Chords::kFileName, loaded.Reason() + "; the built-in chords are used");

    CheckDefinitions<MidiDevice>(".MDV", MidiDevice::kUnreadable);
    CheckDefinitions<MidiController>(".CTR", MidiController::kUnreadable);
}
