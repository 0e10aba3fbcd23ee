#include "app/qt/QtPostTarget.h"

#include <QCoreApplication>

QEvent::Type PostedMessage::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void QtPostTarget::Post(std::uint32_t message, std::int64_t value) {
    // Safe from any thread: the event waits in the receiver's thread's queue.
    QCoreApplication::postEvent(receiver_, new PostedMessage(message, value));
}
