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

// Bytes free for the current user on the volume that holds path.
Result<std::uint64_t> FreeSpace(const std::string& path);

} // namespace platform
