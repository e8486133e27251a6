#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace device {

// The size text of a track's file: bytes / 1024 / 1024 written with at most 15 significant
// digits, cut (never rounded) two characters after the decimal separator, then "MB".
// 5,000,000 bytes give "4.76MB" ("4,76MB" with a comma separator).
std::string FormatSizeText(std::uint64_t bytes, std::string_view decimalSeparator);
// The same, appended to out.
void AppendSizeText(std::uint64_t bytes, std::string_view decimalSeparator, std::string& out);

} // namespace device
