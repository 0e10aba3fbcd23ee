#include "util/Messages.h"

#include "util/ConsoleMessageSink.h"

namespace {

MessageSink* gSink = nullptr;

MessageSink& Installed() {
    static ConsoleMessageSink console;
    return gSink ? *gSink : console;
}

} // namespace

MessageAnswer ShowMessage(const Message& message) {
    return Installed().Show(message);
}

bool ChooseFile(const FileRequest& request, std::string& chosen) {
    return Installed().ChooseFile(request, chosen);
}

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* old = gSink;
    gSink = sink;
    return old;
}
