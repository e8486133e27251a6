#include "platform/DeviceWatcher.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <windows.h>

#include <dbt.h>

namespace platform {

// Windows broadcasts WM_DEVICECHANGE to every top-level window; a volume (a player's drive
// letter) that arrives is DBT_DEVICEARRIVAL, one that has gone DBT_DEVICEREMOVECOMPLETE, each
// with a volume header. Qt shows every message of its windows to the native event filters
// before it handles it.
struct DeviceWatcher::Impl : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_DEVICECHANGE ||
            (msg->wParam != DBT_DEVICEARRIVAL && msg->wParam != DBT_DEVICEREMOVECOMPLETE))
            return false;
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
        // Each top-level window gets its own copy of the broadcast: one notice for all.
        if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME || pending)
            return false;
        pending = true;
        // After the message: the receiver scans the drives, which it should not do inside the
        // broadcast. Posted calls to a destroyed context are dropped.
        QMetaObject::invokeMethod(
            &context,
            [this] {
                pending = false;
                if (changed)
                    changed();
            },
            Qt::QueuedConnection);
        return false; // the windows may see it too
    }

    std::function<void()> changed;
    QObject context;
    bool pending = false;
};

DeviceWatcher::DeviceWatcher(std::function<void()> changed) : impl_(std::make_unique<Impl>()) {
    impl_->changed = std::move(changed);
    QCoreApplication::instance()->installNativeEventFilter(impl_.get());
}

DeviceWatcher::~DeviceWatcher() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(impl_.get());
}

} // namespace platform
