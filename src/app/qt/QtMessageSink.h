#pragma once

#include "util/Messages.h"

class QWidget;

// Shows messages in Qt message boxes over `parent`.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
    MessageAnswer Show(const Message& message) override;

private:
    QWidget* parent_;
};
