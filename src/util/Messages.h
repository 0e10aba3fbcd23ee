#pragma once

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
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer Show(const Message& message) = 0;
};

// Shows through the installed sink; without one, as on a terminal (ConsoleMessageSink).
MessageAnswer ShowMessage(const Message& message);
inline MessageAnswer ShowMessage(const AString& title, const AString& text, MessageIcon icon,
                                 MessageButtons buttons = MessageButtons::Ok) {
    return ShowMessage(Message{title, text, icon, buttons});
}
// Installs the sink (not owned); returns the one it replaces.
MessageSink* SetMessageSink(MessageSink* sink);

constexpr const char* kAppTitle = "Vorlaune";
