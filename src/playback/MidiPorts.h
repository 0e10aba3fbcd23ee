#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "playback/PlayOutput.h"

class CueHost;

// The system's MIDI output ports (ALSA sequencer, JACK), numbered from 0 in the order
// listed. An empty list with `error` set when the MIDI system cannot be reached.
std::vector<std::string> ListOutputPorts(std::string* error = nullptr);

// Index of the first port whose name contains `name` (case-insensitive), or -1.
int FindOutputPort(const std::vector<std::string>& ports, const std::string& name);

// Opens output port `index` for a play; null with `error` set. Audio cues of the play
// go to `cues` when it is given.
std::unique_ptr<PlayOutput> OpenPortOutput(int index, CueHost* cues, AString& error);

// A port opened for messages sent at once from the thread that owns the songs (a note
// being edited), beside the port a play opens.
class LivePort {
public:
    LivePort();
    ~LivePort();
    LivePort(const LivePort&) = delete;
    LivePort& operator=(const LivePort&) = delete;

    // Opens port `index` (again only when it changed). False with `error` set.
    bool Open(int index, AString& error);
    void Send(const std::uint8_t* bytes, int size);

private:
    struct Port;
    std::unique_ptr<Port> port_;
    int index_ = -1;
};
