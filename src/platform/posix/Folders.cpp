#include "platform/Folders.h"

#include "platform/posix/XdgFolders.h"

namespace platform {

std::string DefaultProgramFolder() {
    return posix::XdgFolder("XDG_DATA_HOME", ".local/share") + "/kestrune";
}

} // namespace platform
