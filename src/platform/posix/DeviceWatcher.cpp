#include "app/DeviceWatcher.h"

#include "platform/Drives.h"

#include <QSocketNotifier>

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

// The kernel marks /proc/self/mounts with an exceptional condition whenever the mount table
// changes; a change that adds a removable volume counts as an arrival.
struct DeviceWatcher::Impl {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<std::string> known;
};

DeviceWatcher::DeviceWatcher(QObject* parent) : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->known = platform::RemovableRoots();
    impl_->fd = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
    if (impl_->fd < 0)
        return;
    impl_->notifier =
        std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Exception, this);
    connect(impl_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        // Reading the table again re-arms the notice.
        char buffer[4096];
        ::lseek(impl_->fd, 0, SEEK_SET);
        while (::read(impl_->fd, buffer, sizeof buffer) > 0) {
        }
        std::vector<std::string> now = platform::RemovableRoots();
        const bool added = std::any_of(now.begin(), now.end(), [&](const std::string& root) {
            return std::find(impl_->known.begin(), impl_->known.end(), root) == impl_->known.end();
        });
        impl_->known = std::move(now);
        if (added)
            emit DeviceArrived();
    });
}

DeviceWatcher::~DeviceWatcher() {
    impl_->notifier.reset();
    if (impl_->fd >= 0)
        ::close(impl_->fd);
}
