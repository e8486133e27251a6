#pragma once

#include <string>

namespace platform {

// The writable per-user folder for the program's own files (log, layout, database copy):
// $XDG_DATA_HOME/kestrune on Linux, %LOCALAPPDATA%\Kestrune on Windows. Not created here.
std::string DefaultProgramFolder();

} // namespace platform
