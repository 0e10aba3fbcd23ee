#pragma once

#include "util/Messages.h"

// Swallows the messages a run would show, for as long as it lives: a fuzzer printing
// each one would spend its time on the terminal.
class QuietMessages : public MessageSink {
public:
    QuietMessages() : previous_(SetMessageSink(this)) {}
    ~QuietMessages() override { SetMessageSink(previous_); }
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;
    MessageAnswer Show(const Message&) override { return MessageAnswer::Ok; }

private:
    MessageSink* previous_;
};
