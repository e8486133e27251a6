#pragma once

#include <optional>
#include <string_view>

namespace browser {

// The megabytes a File Size cell shows ("9.5MB", "4,76MB" with a comma separator, "0MB"), so
// the column sorts by size rather than as text; nothing for an empty or any other text.
std::optional<double> SizeTextValue(std::string_view text);

} // namespace browser
