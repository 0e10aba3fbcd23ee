#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "devices/MidiController.h"
#include "model/SongDevice.h"
#include "util/AString.h"
#include "util/FileResult.h"
#include "util/PArray.h"

// One MIDI sound device: its name, the controller definition files it understands,
// whether its instruments are set per channel and how long a program change takes.
// Stored one per ".MDV" file in the home directory.
class MidiDevice : public SongDevice {
public:
    static constexpr std::uint8_t kListMarker = 0xED;
    static constexpr const char* kUnreadable = "Not a device definition the program can read";

    // An empty definition: no name, no controllers, valid.
    MidiDevice();
    // Reads the file (a name relative to the home directory). A file that cannot be
    // opened, or whose lengths run past its end, leaves an invalid, empty definition.
    explicit MidiDevice(const AString& fileName);

    // True when `fileName` names an existing file in the home directory.
    static bool Exists(const AString& fileName);

    bool ReadFrom(std::istream& in);
    std::string Bytes() const;
    // Writes the file, deriving a file name first when there is none.
    FileResult Write();

    bool HasControllerFile(const AString& name) const;
    void ClearControllerFiles();
    void AddControllerFile(const AString& name);
    // The list may hold empty entries (null).
    const PArray<AString>& ControllerFiles() const { return controllerFiles_; }

    // Loads each listed controller file that can be read and is valid, and indexes it by
    // its controller number. Replaces what an earlier call loaded.
    void LoadControllers();
    const PArray<MidiController>& Controllers() const { return controllers_; }
    // The loaded definition of a controller number, or null.
    MidiController* Controller(int number) const;

    const AString& Name() const { return name_; }
    void SetName(const AString& name) { name_ = name; }
    bool ChannelSpecificInstruments() const override { return channelSpecific_; }
    void SetChannelSpecificInstruments(bool on) { channelSpecific_ = on; }
    std::uint16_t ProgramChangeDelay() const override { return programChangeDelay_; }
    void SetProgramChangeDelay(std::uint16_t ms) { programChangeDelay_ = ms; }
    const AString& FileName() const { return fileName_; }
    void SetFileName(const AString& name) { fileName_ = name; }
    bool IsValid() const { return valid_; }
    bool IsReadOnly() const { return readOnly_; }
    // Why the file read by the constructor gave no valid definition.
    const FileResult& LoadResult() const { return loaded_; }

private:
    void MakeEmpty();

    AString name_;
    PArray<AString> controllerFiles_;
    PArray<MidiController> controllers_;
    std::array<MidiController*, 128> index_{};
    bool channelSpecific_ = false;
    std::uint16_t programChangeDelay_ = 0;
    AString fileName_;
    bool valid_ = true;
    bool readOnly_ = false;
    FileResult loaded_;
};

// Makes songs bind their device definitions as MidiDevice objects with their
// controllers loaded.
void InstallMidiDeviceLoader();
