#include "platform/Folders.h"

#include "platform/posix/XdgFolders.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

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

} // namespace platform
