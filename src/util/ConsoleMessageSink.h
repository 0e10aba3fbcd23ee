#pragma once

#include <cstdio>

#include "util/Messages.h"

// Messages on a terminal: the text goes to standard error; nobody can answer, so a
// question gets the answer that changes nothing (No, Cancel).
class ConsoleMessageSink : public MessageSink {
public:
    explicit ConsoleMessageSink(std::FILE* out = stderr) : out_(out) {}
    MessageAnswer Show(const Message& message) override;

private:
    std::FILE* out_;
};
