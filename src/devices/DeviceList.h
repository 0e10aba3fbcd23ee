#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "devices/MidiDevice.h"
#include "util/Messages.h"

// The device definitions of the home directory as the device dialogs list them, with
// what may be done to each. Every operation that says no returns the message to show
// and changes nothing.
class DeviceList {
public:
    static constexpr const char* kReadOnly = "This Device is Read-Only.";
    static constexpr const char* kNewName = "UNDEFINED";

    struct Entry {
        AString fileName;
        AString name; // the device's name; the file name for a file that cannot be read
        bool readOnly = false;
        bool valid = true;
    };

    // Reads every "*.MDV" of the home directory.
    void Load();
    const std::vector<Entry>& Entries() const { return entries_; }

    // A new definition as "Add" offers it for editing.
    static std::unique_ptr<MidiDevice> NewDevice();
    // Writes a definition made by NewDevice and appends its entry.
    std::optional<Message> Add(MidiDevice& device);
    // The definition behind an entry, for editing; null with the reason when it is
    // read-only or cannot be read (saving would replace what could not be read).
    std::unique_ptr<MidiDevice> OpenForChange(std::size_t index, std::optional<Message>& refusal);
    // Rewrites an entry's definition after editing and refreshes its entry.
    std::optional<Message> Store(std::size_t index, MidiDevice& device);
    // Deletes an entry's file; a read-only definition stays.
    std::optional<Message> Delete(std::size_t index);

    // The entry of a file name, or -1.
    int IndexOf(const AString& fileName) const;

private:
    static Entry EntryOf(const MidiDevice& device, const AString& fileName);

    std::vector<Entry> entries_;
};
