#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>

#include "playback/PostTarget.h"

// A posted window message as a Qt event: the command number and its value.
class PostedMessage : public QEvent {
public:
    static QEvent::Type EventType();
    PostedMessage(std::uint32_t message, std::int64_t value)
        : QEvent(EventType()), message_(message), value_(value) {}
    std::uint32_t Message() const { return message_; }
    std::int64_t Value() const { return value_; }

private:
    std::uint32_t message_;
    std::int64_t value_;
};

// Delivers what the player's threads post to an object on the user-interface thread, as
// queued events. The receiver must outlive every thread that may still post.
class QtPostTarget : public PostTarget {
public:
    explicit QtPostTarget(QObject* receiver) : receiver_(receiver) {}
    void Post(std::uint32_t message, std::int64_t value) override;

private:
    QObject* receiver_;
};
