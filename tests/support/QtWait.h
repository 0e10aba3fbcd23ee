#pragma once

#include <QApplication>
#include <chrono>
#include <functional>

// Runs the event loop until `done` holds; false when `ms` milliseconds pass first.
inline bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
