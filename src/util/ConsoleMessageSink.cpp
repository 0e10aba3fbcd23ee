#include "util/ConsoleMessageSink.h"

MessageAnswer ConsoleMessageSink::Show(const Message& message) {
    std::fprintf(out_, "%s\n", message.text.c_str());
    std::fflush(out_);
    switch (message.buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::OkCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}
