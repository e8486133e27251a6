#include "platform/Drives.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}
bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The mount table escapes blanks, tabs, newlines and backslashes as octal ("\040").
std::string UnescapeOctal(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out.push_back(static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

// udev names label links with hexadecimal escapes ("\x20").
std::string UnescapeHex(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && IsHex(name[i + 2]) &&
            IsHex(name[i + 3])) {
            out.push_back(static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

struct Mount {
    std::string device;
    std::string path;
};

std::vector<Mount> ReadMounts() {
    std::vector<Mount> mounts;
    std::ifstream table("/proc/self/mounts");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string device, path;
        if (fields >> device >> path)
            mounts.push_back({UnescapeOctal(device), UnescapeOctal(path)});
    }
    return mounts;
}

bool ReadFlag(const fs::path& file) {
    std::ifstream in(file);
    int value = 0;
    return (in >> value) && value != 0;
}

// The block device's own removable flag, or that of the disk a partition belongs to.
bool BlockDeviceIsRemovable(const std::string& device) {
    struct stat info {};
    if (device.rfind("/dev/", 0) != 0 || ::stat(device.c_str(), &info) != 0 ||
        !S_ISBLK(info.st_mode))
        return false;
    const fs::path sys = "/sys/dev/block/" + std::to_string(major(info.st_rdev)) + ":" +
                         std::to_string(minor(info.st_rdev));
    std::error_code error;
    const fs::path resolved = fs::canonical(sys, error);
    if (error)
        return false;
    return ReadFlag(resolved / "removable") || ReadFlag(resolved.parent_path() / "removable");
}

bool MountedByTheDesktop(const std::string& path) {
    return path.rfind("/media/", 0) == 0 || path.rfind("/run/media/", 0) == 0;
}

} // namespace

std::vector<std::string> RemovableRoots() {
    std::vector<std::string> roots;
    for (const Mount& mount : ReadMounts())
        if (MountedByTheDesktop(mount.path) || BlockDeviceIsRemovable(mount.device))
            roots.push_back(mount.path);
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

QuietDriveErrors::QuietDriveErrors() = default;
QuietDriveErrors::~QuietDriveErrors() = default;

Result<std::string> VolumeLabel(const std::string& root) {
    std::string device;
    for (const Mount& mount : ReadMounts())
        if (mount.path == root)
            device = mount.device; // the last mount on a path is the one in effect
    if (device.empty())
        return Status::Error(root + " is not a mounted volume");
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return Status::Error(error.message());
    for (const auto& entry : fs::directory_iterator("/dev/disk/by-label", error)) {
        std::error_code ignored;
        if (fs::canonical(entry.path(), ignored) == target)
            return UnescapeHex(entry.path().filename().string());
    }
    return std::string(); // a volume without a label
}

Result<std::uint64_t> FreeSpace(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0)
        return Status::Error(std::strerror(errno));
    // Zero blocks in all: the volume does not know (some FUSE file systems).
    if (info.f_blocks == 0)
        return Status::Error("the volume does not tell its free space");
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

} // namespace platform
