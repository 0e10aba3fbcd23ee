#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "record/MidiInputSystem.h"

// One message to play in, at its time in milliseconds from the start.
struct TimedMidiMessage {
    std::uint32_t ms = 0;
    std::uint8_t bytes[3] = {};
    std::uint8_t size = 0;
};

// A port of the scripted input: what it is called, what it plays, and whether opening it
// fails (with the text a driver would give).
struct ScriptedMidiPort {
    MidiInputPortInfo info;
    std::vector<TimedMidiMessage> messages;
    bool refuseOpen = false;
    AString openError;
};

// Stands in for the system's MIDI inputs: each port plays its list of timed messages from
// a thread of its own, as a keyboard would, in real time or `speed` times faster (0: as
// fast as it can). Messages carry the times of the list, whatever the speed, so a take
// played in fast still has its own timing.
class ScriptedMidiInput : public MidiInputSystem {
public:
    explicit ScriptedMidiInput(std::vector<ScriptedMidiPort> ports, double speed = 1.0);
    ~ScriptedMidiInput() override;

    // One port playing the channel messages of a MIDI file at the times its tempo map
    // gives them. Null with `error` set when the file cannot be read.
    static std::unique_ptr<ScriptedMidiInput> FromMidiFile(const std::filesystem::path& file,
                                                           double speed, AString& error);
    // The same messages as a list.
    static bool ReadMidiFile(const std::filesystem::path& file,
                             std::vector<TimedMidiMessage>& messages, AString& error);

    std::vector<MidiInputPortInfo> Ports() override;
    std::unique_ptr<MidiInputPort> Open(std::size_t index, MidiInputReceiver& receiver,
                                        AString& error) override;

    // True once a port was started and every started port has played its last message.
    bool Finished() const;
    // Waits for Finished; false after `timeout`.
    bool WaitFinished(std::chrono::milliseconds timeout) const;

private:
    class Port;
    friend class Port;
    void PortStarted();
    void PortFinished();

    std::vector<ScriptedMidiPort> ports_;
    double speed_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int started_ = 0;
    int finished_ = 0;
};
