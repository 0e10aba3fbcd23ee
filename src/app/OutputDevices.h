#pragma once

#include <string>
#include <vector>

// The output device the program starts with, from the "DEFAULTOUTPUT" setting and the
// names of the MIDI output ports: -1 is the built-in synthesizer, 0 and up the ports.
// -2 asks for a choice: the first port whose name does not suggest an external
// interface ("MPU", "EXTERNAL", "OUT"), else the last port, else the synthesizer. A port
// number that does not exist becomes -1.
int ChooseOutputDevice(long setting, const std::vector<std::string>& portNames);
