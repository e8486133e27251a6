#include "core/settings/ProgramFiles.h"

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Paths.h"

namespace settings {

std::string ProgramFile(const std::string& programFolder, std::string_view name) {
    if (!programFolder.empty())
        return platform::JoinPath(programFolder, name);
    const auto folder = platform::DefaultProgramFolder();
    // A failure shows up when the file itself is written.
    (void)platform::CreateDirectories(folder);
    return platform::JoinPath(folder, name);
}

} // namespace settings
