#pragma once

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform::posix {

inline std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    // Services and some sandboxes run without HOME; the password database still knows it.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return "/tmp";
}

// An XDG base folder ($XDG_CONFIG_HOME, $XDG_DATA_HOME) or its default under the home folder.
// A relative value is invalid and ignored, as the base-directory rules say.
inline std::string XdgFolder(const char* variable, const char* defaultBelowHome) {
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return value;
    return HomeFolder() + "/" + defaultBelowHome;
}

} // namespace platform::posix
