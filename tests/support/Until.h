#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

namespace testsupport {

// Waits until done() holds, handling every event as it comes: each message of the copy worker
// waits for this thread, and QTRY_VERIFY's polling would hold each one up to 10 ms.
inline bool Until(const std::function<bool()>& done, int milliseconds = 10000) {
    QDeadlineTimer deadline(milliseconds);
    QTimer tick; // wakes the loop for conditions that no event announces
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace testsupport
