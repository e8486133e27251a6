#pragma once

#include <string>
#include <string_view>

namespace settings {

// The path of one of the program's own files ("apces.cnt", "ipdes.dll", "Idb.ant") in the
// program folder. Without a program folder the per-user default folder is used (and created),
// so that these files never land at the root of a drive.
std::string ProgramFile(const std::string& programFolder, std::string_view name);

} // namespace settings
