#pragma once

#include <functional>
#include <memory>

namespace platform {

// Tells when players may have come or gone: on Windows the WM_DEVICECHANGE broadcast with
// DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE for a volume, on Linux a change of the
// removable volumes in the mount table. A notice carries no details; the receiver scans again.
// Notices arrive on the thread that created the watcher, from its event loop (the back ends
// sit in the Qt event loop of the windowed program, so only that program links them), and
// stop when the watcher is destroyed.
class DeviceWatcher {
public:
    explicit DeviceWatcher(std::function<void()> changed);
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
