#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "record/MidiDeviceReport.h"
#include "record/MidiInputSystem.h"
#include "record/MidiRecordRing.h"

class INIFile;
class MidiPlayer;

// One message taken from the rings and the port it came from.
struct MidiRecorderMessage {
    std::size_t device = 0;
    MidiRecordEntry entry;
};

// Records from every MIDI input port at once. Each port's thread writes what it receives
// into the port's own ring (and, with thru, sends it on to the output in use); the
// thread that started the recorder reads the rings. Neither side waits for the other.
class MidiRecorder {
public:
    static constexpr const char* kThroughSetting = "MIDIThroughOnRecord";
    static constexpr const char* kAlwaysShowSetting = "AlwaysShowRecordError";

    // `thru` may be null (no thru); both outlive the recorder.
    MidiRecorder(MidiInputSystem& inputs, MidiPlayer* thru);
    ~MidiRecorder();
    MidiRecorder(const MidiRecorder&) = delete;
    MidiRecorder& operator=(const MidiRecorder&) = delete;

    // The two settings, from `ini` (null: their defaults, thru on and limited reports).
    void ReadSettings(INIFile* ini);
    bool Through() const { return through_; }
    bool AlwaysShowErrors() const { return alwaysShow_; }

    // Opens and starts every port. False when there is none or none opened. `report` is
    // set when something went wrong (no ports at all: a report without entries).
    bool Start(std::optional<MidiDeviceReport>& report);
    // The oldest message of the first port (in port order) that has one.
    bool ReadMessage(MidiRecorderMessage& message);
    // Stops and closes every port; what they delivered can still be read afterwards.
    // True when no port has a problem to report; otherwise `report` holds them all.
    bool Stop(std::optional<MidiDeviceReport>& report);
    bool Recording() const { return recording_; }
    // Ports opened by the last Start.
    std::size_t OpenedPorts() const { return devices_.size(); }

private:
    class Device;

    MidiInputSystem& inputs_;
    MidiPlayer* thru_;
    bool through_ = true;
    bool alwaysShow_ = false;
    bool thruOpen_ = false;
    bool recording_ = false;
    std::vector<std::unique_ptr<Device>> devices_;
};
