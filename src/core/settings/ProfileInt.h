#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>

namespace settings {

// A decimal integer with an optional sign, or "0x"/"0X" and hex digits of at most 32 bits taken
// as the bit pattern ("0xFFFFFFFF" is -1). Anything else, overflow included, gives `def`.
int StrToIntDef(std::string_view text, int def);

// An integer key of a profile file; missing or not an integer gives `def`.
int ReadProfileInt(const std::string& file, std::string_view section, std::string_view key,
                   int def);
// Stores the value in decimal.
platform::Status WriteProfileInt(const std::string& file, std::string_view section,
                                 std::string_view key, int value);

} // namespace settings
