#pragma once

#include <optional>
#include <string>

namespace platform {

// The writable per-user folder for the program's own files (log, layout, database copy):
// $XDG_DATA_HOME/kestrune on Linux, %LOCALAPPDATA%\Kestrune on Windows. Not created here.
std::string DefaultProgramFolder();

// An existing folder as one absolute spelling: "." and ".." resolved (on Linux links too), no
// trailing separator (a drive root is "e:"), so two ways of writing one folder compare equal.
// Nothing when the path names no folder.
std::optional<std::string> RealFolderPath(const std::string& path);

// The folder that holds the running program's file, absolute and without a trailing
// separator; empty when the system does not say.
std::string ExecutableFolder();

} // namespace platform
