#pragma once

#include <chrono>
#include <string>

namespace platform {

// Local date and time to the second, in the user's locale: short date, one blank, long time.
std::string FormatLocalDateTime(std::chrono::system_clock::time_point when);

} // namespace platform
