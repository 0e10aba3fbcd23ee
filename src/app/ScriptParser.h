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
// Blank lines and lines starting with # are skipped.
struct ScriptStatement {
    enum class Kind { Key, Command, Answer, View, WaitIdle, Wait, Screenshot, ExpectTitle };
    Kind kind = Kind::Key;
    std::string argument;
    int number = 0; // for Command, View and Wait
    int line = 0;   // 1-based, for messages
};

// False with `error` naming the line that is not a statement.
bool ParseScript(const std::string& text, std::vector<ScriptStatement>& statements,
                 std::string& error);
