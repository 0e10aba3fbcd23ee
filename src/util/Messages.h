#pragma once

#include <string>

#include "util/AString.h"

// Every message the user sees goes through here, so that tests can read the exact text,
// title and icon, and the command line can print what a window would show.
enum class MessageIcon { Information, Exclamation, Stop, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    AString title;
    AString text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    // Words of the program's own for the Yes and No buttons where those say it better
    // ("Recover", "Discard"); empty for Yes and No.
    AString yesText = {};
    AString noText = {};
};

// A file dialog's question: which file to open, or where to save.
struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    AString title;
    // As the dialogs of the program write it: "MIDI Files
    // (*.MID,*.MIDI,*.RMI)|*.mid;*.midi;*.rmi|".
    AString filter;
    AString directory;
    AString defaultSuffix; // "MID"
    AString initialName;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer Show(const Message& message) = 0;
    // False when the user cancels (and wherever nobody can be asked).
    virtual bool ChooseFile(const FileRequest& /*request*/, std::string& /*chosen*/) {
        return false;
    }
};

// Shows through the installed sink; without one, as on a terminal (ConsoleMessageSink).
MessageAnswer ShowMessage(const Message& message);
inline MessageAnswer ShowMessage(const AString& title, const AString& text, MessageIcon icon,
                                 MessageButtons buttons = MessageButtons::Ok) {
    return ShowMessage(Message{title, text, icon, buttons});
}
// Asks through the installed sink; false on Cancel.
bool ChooseFile(const FileRequest& request, std::string& chosen);
// Installs the sink (not owned); returns the one it replaces.
MessageSink* SetMessageSink(MessageSink* sink);

constexpr const char* kAppTitle = "Vorlaune";
