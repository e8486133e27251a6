#include "platform/DeviceWatcher.h"

#include "platform/Drives.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform {

// The kernel marks /proc/self/mounts with an exceptional condition whenever the mount table
// changes; a change of the removable volumes among the mounts is a notice.
struct DeviceWatcher::Impl {
    std::function<void()> changed;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<std::string> known;
};

DeviceWatcher::DeviceWatcher(std::function<void()> changed) : impl_(std::make_unique<Impl>()) {
    impl_->changed = std::move(changed);
    impl_->known = RemovableRoots();
    impl_->fd = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
    if (impl_->fd < 0)
        return;
    impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Exception);
    Impl* impl = impl_.get();
    QObject::connect(impl->notifier.get(), &QSocketNotifier::activated, impl->notifier.get(),
                     [impl] {
                         // Reading the table again re-arms the notice.
                         char buffer[4096];
                         ::lseek(impl->fd, 0, SEEK_SET);
                         while (::read(impl->fd, buffer, sizeof buffer) > 0) {
                         }
                         std::vector<std::string> now = RemovableRoots();
                         if (now == impl->known)
                             return;
                         impl->known = std::move(now);
                         if (impl->changed)
                             impl->changed();
                     });
}

DeviceWatcher::~DeviceWatcher() {
    impl_->notifier.reset();
    if (impl_->fd >= 0)
        ::close(impl_->fd);
}

} // namespace platform
