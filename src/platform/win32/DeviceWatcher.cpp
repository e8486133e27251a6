#include "app/DeviceWatcher.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

#include <dbt.h>

// Windows broadcasts WM_DEVICECHANGE to every top-level window; a new volume (a player's drive
// letter) is DBT_DEVICEARRIVAL with a volume header. Qt shows every message of its windows to
// the native event filters before it handles it.
struct DeviceWatcher::Impl : QAbstractNativeEventFilter {
    explicit Impl(DeviceWatcher* watcher) : owner(watcher) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_DEVICECHANGE || msg->wParam != DBT_DEVICEARRIVAL)
            return false;
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
        // Each top-level window gets its own copy of the broadcast: one notice for all.
        if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME || pending)
            return false;
        pending = true;
        QMetaObject::invokeMethod(
            owner,
            [this] {
                pending = false;
                emit owner->DeviceArrived();
            },
            Qt::QueuedConnection);
        return false; // the windows may see it too
    }

    DeviceWatcher* owner;
    bool pending = false;
};

DeviceWatcher::DeviceWatcher(QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>(this)) {
    QCoreApplication::instance()->installNativeEventFilter(impl_.get());
}

DeviceWatcher::~DeviceWatcher() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(impl_.get());
}
