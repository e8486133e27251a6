#include "platform/Folders.h"

#include "platform/posix/XdgFolders.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string DefaultProgramFolder() {
    return posix::XdgFolder("XDG_DATA_HOME", ".local/share") + "/kestrune";
}

std::optional<std::string> RealFolderPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    char resolved[PATH_MAX];
    struct stat info {};
    if (::realpath(path.c_str(), resolved) == nullptr || ::stat(resolved, &info) != 0 ||
        !S_ISDIR(info.st_mode))
        return std::nullopt;
    return std::string(resolved); // realpath gives "/" alone its separator
}

std::string ExecutableFolder() {
    // The kernel's link names the program file itself, whatever it was started as.
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target)
        return {};
    const std::string program(target, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash == 0 ? 1 : slash);
}

} // namespace platform
