#pragma once

#include "platform/Status.h"

#include <string>

namespace platform {

// Opens a file, a folder or a web address with the program the system associates with it
// (the shell's "open").
Status ShellOpen(const std::string& target);

// Copies a file, replacing an existing target; the copy keeps the file's modification time.
Status CopyFileReplacing(const std::string& from, const std::string& to);

// Whether to holds a copy made by CopyFileReplacing since from last changed, going by size and
// modification time (as a make or a mirror goes) rather than by reading both.
bool IsUnchangedCopy(const std::string& from, const std::string& to);

} // namespace platform
