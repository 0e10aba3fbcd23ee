#pragma once

class TMDIDialog;
class TVorlaune;

// "Record MIDI Notes" in a song window: records through the "MIDI Record" dialog,
// playing the song along when the window asks for it, and places the take.
class MidiRecordCommand {
public:
    static void Run(TVorlaune& app, TMDIDialog& window);
};
