#pragma once

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
