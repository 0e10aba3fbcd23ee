#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/AString.h"

// An input port as the system lists it. Ports report no driver version of their own, so
// the version is the one of the layer that reaches them.
struct MidiInputPortInfo {
    std::string name;
    int versionMajor = 0;
    int versionMinor = 0;
};

// Where an opened port delivers. Called on the port's own thread (never the user
// interface's), one message at a time: it must not block.
class MidiInputReceiver {
public:
    virtual ~MidiInputReceiver() = default;
    // One short message (1 to 3 bytes) and its time in milliseconds since the port started.
    virtual void Receive(const std::uint8_t* bytes, std::size_t size, std::uint32_t ms) = 0;
    // A message the port could not deliver: a driver error, or a long message (system
    // exclusive) the recording does not keep.
    enum class Trouble { Driver, LongMessage };
    virtual void Fault(Trouble trouble, std::uint32_t message, std::uint32_t ms) = 0;
};

// One opened input port. Destroying it stops it first.
class MidiInputPort {
public:
    virtual ~MidiInputPort() = default;
    // Messages flow from here on; the time of each counts from this call.
    virtual bool Start(AString& error) = 0;
    // No Receive call is running or will be made once this returns.
    virtual void Stop() = 0;
};

// The system's MIDI inputs: the real ports, or a stand-in that plays prepared messages.
class MidiInputSystem {
public:
    virtual ~MidiInputSystem() = default;
    virtual std::vector<MidiInputPortInfo> Ports() = 0;
    // Opens port `index` for `receiver` (which outlives the port); null with `error` set.
    virtual std::unique_ptr<MidiInputPort> Open(std::size_t index, MidiInputReceiver& receiver,
                                                AString& error) = 0;
};
