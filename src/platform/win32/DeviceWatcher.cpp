#include "app/DeviceWatcher.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include <dbt.h>

// The system broadcasts WM_DEVICECHANGE to every top-level window; only an arrival is acted on.
struct DeviceWatcher::Impl : QAbstractNativeEventFilter {
    explicit Impl(DeviceWatcher& owner) : watcher(owner) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_DEVICECHANGE && msg->wParam == DBT_DEVICEARRIVAL)
            emit watcher.DeviceArrived();
        return false;
    }

    DeviceWatcher& watcher;
};

DeviceWatcher::DeviceWatcher(QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>(*this)) {
    QCoreApplication::instance()->installNativeEventFilter(impl_.get());
}

DeviceWatcher::~DeviceWatcher() {
    QCoreApplication::instance()->removeNativeEventFilter(impl_.get());
}
