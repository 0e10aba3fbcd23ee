#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "util/AString.h"
#include "util/FileResult.h"
#include "util/Messages.h"

// One MIDI control-change number with its name, value range and default, or an on/off
// switch. Stored one per ".CTR" file in the home directory.
class MidiController {
public:
    static constexpr char kMarker = '%';
    static constexpr std::int16_t kHighest = 16383;
    static constexpr const char* kUnreadable = "Not a controller definition the program can read";

    // A new definition as the list dialog makes it: "Undefined", 0 to 16383, default 0.
    MidiController();
    // Reads the file (a name relative to the home directory). A file that cannot be
    // opened is reported with "Bad Read" and leaves an invalid definition.
    explicit MidiController(const AString& fileName);

    // Reads the fields after the marker check; false (and not valid) for a file that
    // does not start with the marker or ends early.
    bool ReadFrom(std::istream& in);
    std::string Bytes() const;
    // Writes the file, deriving a file name first when there is none.
    FileResult Write();
    bool Delete();

    // The editor's OK: the message to show (and nothing changed) when the range or the
    // default is wrong. A switch gets the range 0 to 127 whatever `low` and `high` say,
    // and a default outside it becomes 0.
    std::optional<Message> ApplyEdit(const AString& name, std::int16_t number, bool onOff,
                                     std::int16_t low, std::int16_t high,
                                     std::int16_t defaultValue);

    // "  7: Volume" for the controller list, "7: Volume" for the device dialog.
    AString ListEntry() const;
    AString DeviceEntry() const;

    const AString& FileName() const { return fileName_; }
    void SetFileName(const AString& name) { fileName_ = name; }
    std::int16_t Number() const { return number_; }
    void SetNumber(std::int16_t number) { number_ = number; }
    const AString& Name() const { return name_; }
    void SetName(const AString& name) { name_ = name; }
    bool OnOff() const { return onOff_; }
    void SetOnOff(bool on) { onOff_ = on; }
    std::int16_t DefaultValue() const { return default_; }
    void SetDefaultValue(std::int16_t value) { default_ = value; }
    std::int16_t Low() const { return low_; }
    std::int16_t High() const { return high_; }
    void SetRange(std::int16_t low, std::int16_t high) {
        low_ = low;
        high_ = high;
    }
    bool IsValid() const { return valid_; }
    bool IsReadOnly() const { return readOnly_; }
    // Why the file read by the constructor gave no valid definition.
    const FileResult& LoadResult() const { return loaded_; }

private:
    AString fileName_;
    std::int16_t number_ = 0;
    AString name_;
    bool onOff_ = false;
    std::int16_t default_ = 0;
    std::int16_t low_ = 0;
    std::int16_t high_ = kHighest;
    bool valid_ = true;
    FileResult loaded_;
    bool readOnly_ = false;
};
