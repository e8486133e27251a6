#pragma once

#include <QObject>

#include <memory>

// Tells the main window when the system announces that a device has arrived: on Windows the
// WM_DEVICECHANGE broadcast with DBT_DEVICEARRIVAL, on Linux a change of the mount table.
class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    explicit DeviceWatcher(QObject* parent = nullptr);
    ~DeviceWatcher() override;

signals:
    void DeviceArrived();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
