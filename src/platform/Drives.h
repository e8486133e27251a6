#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The roots of the removable volumes that may hold a player, in scan order, without a trailing
// separator. Windows: the drive letters C: to Z: whose drive type is removable, as a lower-case
// letter and a colon ("e:"), in letter order. Linux: the mount points of removable volumes (the
// block device's removable flag, or mounted by the desktop under /media or /run/media), sorted.
std::vector<std::string> RemovableRoots();

// The volume label of a root, as the file system gives it; a failure when it cannot be read.
// On Windows the query runs with critical-error dialogs turned off.
Result<std::string> VolumeLabel(const std::string& root);

// While one lives, a drive without a medium makes the calls of this thread fail quietly
// instead of bringing up the system's "There is no disk in the drive" box, which would block
// until answered. Other threads are not touched. Nothing on Linux, which has no such box.
class QuietDriveErrors {
public:
    QuietDriveErrors();
    ~QuietDriveErrors();
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    unsigned long previous_ = 0;
};

// Bytes free for the current user on the volume that holds path.
Result<std::uint64_t> FreeSpace(const std::string& path);

} // namespace platform
