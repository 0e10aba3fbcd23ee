#pragma once

#include <string>
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
//   view-kind KIND      shows the active view as "staff", "message" or "piano roll"
//   heads               prints "head: TICK X Y" for each note head the active staff view
//                       shows (the middle of the head, in view coordinates)
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
        Heads
    };
    Kind kind = Kind::Key;
    std::string argument;
    int number = 0;          // for Command, View and Wait
    std::vector<int> points; // x, y (x1, y1, x2, y2 for Drag)
    bool shift = false, ctrl = false;
    int line = 0; // 1-based, for messages
};

// False with `error` naming the line that is not a statement.
bool ParseScript(const std::string& text, std::vector<ScriptStatement>& statements,
                 std::string& error);
