#pragma once

#include "gui/WindowChrome.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {

// Windows moves a window in a loop of its own until the left button goes up, which only a real
// button does: each drag the dragger starts gets the release that loop waits for posted to it.
inline void EndSystemMoves(app::WindowDragger* dragger, QWidget* window) {
#ifdef _WIN32
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return;
    QObject::connect(dragger, &app::WindowDragger::DragStarted, window, [window] {
        const auto handle = reinterpret_cast<HWND>(window->winId());
        QTimer::singleShot(100, window, [handle] { PostMessageW(handle, WM_LBUTTONUP, 0, 0); });
    });
#else
    (void)dragger, (void)window;
#endif
}

} // namespace testsupport
