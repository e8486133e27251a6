#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Private-profile (INI) access, one key per call, with the rules of the system's profile calls:
// a missing file or section reads as empty; a write creates the file and the section when they
// are missing, replaces the value of an existing key and leaves every other line untouched.
// Section and key names compare without regard to ASCII letter case.
std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key);
Status WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view value);

} // namespace platform
