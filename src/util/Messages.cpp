#include "util/Messages.h"

#include <cstdio>

namespace {
MessageSink* gSink = nullptr;
}

MessageAnswer ShowMessage(const Message& message) {
    if (gSink)
        return gSink->Show(message);
    std::fprintf(stderr, "%s\n", message.text.c_str());
    switch (message.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageAnswer::Ok;
}

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* old = gSink;
    gSink = sink;
    return old;
}
