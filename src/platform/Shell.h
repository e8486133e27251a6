#pragma once

#include "platform/Status.h"

#include <string>

namespace platform {

// Opens a file, a folder or a web address with the program the system associates with it
// (the shell's "open").
Status ShellOpen(const std::string& target);

// Copies a file, replacing an existing target.
Status CopyFileReplacing(const std::string& from, const std::string& to);

} // namespace platform
