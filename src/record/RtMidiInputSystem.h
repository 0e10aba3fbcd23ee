#pragma once

#include "record/MidiInputSystem.h"

// The system's MIDI input ports (ALSA sequencer, JACK) through RtMidi, numbered in the
// order listed. Each opened port delivers on the library's input thread.
class RtMidiInputSystem : public MidiInputSystem {
public:
    std::vector<MidiInputPortInfo> Ports() override;
    std::unique_ptr<MidiInputPort> Open(std::size_t index, MidiInputReceiver& receiver,
                                        AString& error) override;
};
