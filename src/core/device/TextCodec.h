#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace device {

// Appends UTF-16LE text as UTF-8; an odd last byte is dropped and an unpaired surrogate
// becomes U+FFFD.
void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out);

// Appends bytes that should be UTF-8, with every ill-formed sequence replaced by U+FFFD,
// so that what leaves the library is always valid UTF-8.
void AppendValidUtf8(std::span<const std::uint8_t> bytes, std::string& out);

} // namespace device
