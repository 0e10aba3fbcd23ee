#pragma once

#include <string>
#include <utility>
#include <vector>

// One line of a script for the script driver (`vorlaune --script FILE`):
//   key SEQUENCE        a key press, as "A", "Shift+PageDown", "Ctrl+Z"
//   command ID          a menu command by number
//   answer TEXT         the answer to the next message box or file dialog
//   view N              makes view N (from 1) of the active song window active
//   wait-idle           until playback has ended and posted events are handled
//   wait MILLISECONDS   lets the program run that long
//   screenshot FILE.png the main window as a picture
//   expect-title TEXT   fails unless the main window's title is TEXT
//   click X Y [shift|ctrl]  a left click at X, Y in the active view
//   drag X1 Y1 X2 Y2    the left button pressed at X1, Y1 and let go at X2, Y2
//   rclick X Y          a right click (a pop-up menu opens)
//   menu TEXT           chooses the item TEXT of the open pop-up menu
//   view-kind KIND      shows the active view as "staff", "message" or "roll" (the
//                       piano roll)
//   dialog F=V | ... | OK   fills the next dialog that opens: each field F (found by its
//                       label, or a check box or radio button by its text, "on"/"off")
//                       gets V, then OK or Cancel is pressed. A dialog that stays open
//                       after OK (it refused) is printed and cancelled. An item without
//                       "=" presses the button with that text.
//   key-capture SEQUENCE  the key pressed in the next "Press a Key" window
//   heads               prints "head: TICK X Y" for each note head the active staff view
//                       shows (the middle of the head, in view coordinates)
//   bars                prints "bar: TICK PITCH LEFT TOP RIGHT BOTTOM" for each note bar
//                       the active piano roll shows (right and bottom lie outside)
//   graph on [N]|off    shows or hides the controller graph under the note views; N
//                       chooses its controller (0 to 127, or "pitch-bend"); "on" prints
//                       "graph: LEFT TOP RIGHT BOTTOM", where it lies in the active view
//   range SHAPE A B [ADJ1 ADJ2] | range erase
//                       answers the next "Controller Range Options": the shape (line,
//                       squared, sine, parabola), start and end levels on the 0 to 127
//                       scale and the two adjustments, or erasing the range only
//   midi-in FILE.mid [SPEED]  the next MIDI recording (command 344) hears FILE as if
//                       played on a keyboard, at its own tempo or SPEED times faster (0:
//                       at once); when it has been played, Done is pressed and the dialog
//                       filled from the next `dialog` statement. "midi-in none": the
//                       recording finds no input ports.
//   mic-in FILE.wav     plays the file in as the sound of the next wave recording; once
//                       it has ended, the recording dialog's Done is pressed and the
//                       dialog is filled from the next `dialog` statement
// The mouse statements reach the controller graph too, where their points lie in it.
// Blank lines and lines starting with # are skipped.
struct ScriptStatement {
    enum class Kind {
        Key,
        Command,
        Answer,
        View,
        WaitIdle,
        Wait,
        Screenshot,
        ExpectTitle,
        Click,
        Drag,
        RightClick,
        Menu,
        ViewKind,
        Heads,
        Dialog,
        KeyCapture,
        Bars,
        Graph,
        Range,
        MidiIn,
        MicIn
    };
    Kind kind = Kind::Key;
    std::string argument;
    int number = 0;          // for Command, View and Wait; MidiIn's speed
    std::vector<int> points; // x, y (x1, y1, x2, y2 for Drag); levels for Range
    bool on = false;         // Graph
    int controller = -1;     // Graph: -1 keeps the graph's, 255 is pitch bend
    bool shift = false, ctrl = false;
    // For Dialog: (field, value), or ("", button) for a button pressed on the way; the
    // argument is the closing button, "ok" or "cancel".
    std::vector<std::pair<std::string, std::string>> fields;
    int line = 0; // 1-based, for messages
};

// False with `error` naming the line that is not a statement.
bool ParseScript(const std::string& text, std::vector<ScriptStatement>& statements,
                 std::string& error);
