#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <span>
#include <vector>

namespace device {

// Later players keep their database compressed: the file header as it is, and when its 16-bit
// mark at kCompressionMark (in a header at least kCompressedHeaderMin long) is 1, every byte
// after the header is one zlib stream holding the usual data sets.
inline constexpr std::size_t kCompressionMark = 0xA8;
inline constexpr std::size_t kCompressedHeaderMin = 0xAA;

bool IsCompressedDatabase(std::span<const std::uint8_t> image);

// The database as the reader takes it: the header followed by the inflated data sets, at most
// maxBytes in all. A stream that would inflate past that, or one that is truncated or corrupt,
// is an error with the reason; an image that is not compressed is an error too.
platform::Result<std::vector<std::uint8_t>> InflateDatabase(std::span<const std::uint8_t> image,
                                                            std::uint64_t maxBytes);

} // namespace device
