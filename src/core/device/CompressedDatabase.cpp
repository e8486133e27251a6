#include "core/device/CompressedDatabase.h"

#include "core/device/ByteReader.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <string>

namespace device {
namespace {

std::size_t HeaderLength(std::span<const std::uint8_t> image) {
    const auto length = ByteReader(image).I32(4);
    return length && *length > 0 ? static_cast<std::size_t>(*length) : 0;
}

} // namespace

bool IsCompressedDatabase(std::span<const std::uint8_t> image) {
    const std::size_t header = HeaderLength(image);
    if (header < kCompressedHeaderMin || header > image.size())
        return false;
    return image[kCompressionMark] == 1 && image[kCompressionMark + 1] == 0;
}

platform::Result<std::vector<std::uint8_t>> InflateDatabase(std::span<const std::uint8_t> image,
                                                            std::uint64_t maxBytes) {
    if (!IsCompressedDatabase(image))
        return platform::Status::Error("the database is not compressed");
    const std::size_t header = HeaderLength(image);
    const std::span<const std::uint8_t> stream = image.subspan(header);

    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return platform::Status::Error("the decompressor cannot start");
    std::vector<std::uint8_t> out(image.begin(),
                                  image.begin() + static_cast<std::ptrdiff_t>(header));
    // Grown as the stream needs it, never past the bound: a stream that claims gigabytes
    // costs only what it really holds up to the bound.
    const std::size_t limit = static_cast<std::size_t>(
        std::min<std::uint64_t>(maxBytes, std::numeric_limits<std::size_t>::max()));
    std::size_t consumed = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        if (out.size() >= limit) {
            inflateEnd(&z);
            return platform::Status::Error("the compressed database inflates past " +
                                           std::to_string(limit >> 20) + " MB");
        }
        const std::size_t room = std::min<std::size_t>(
            limit - out.size(), std::max<std::size_t>(out.size(), std::size_t{1} << 20));
        const std::size_t at = out.size();
        out.resize(at + room);
        const std::size_t input = std::min<std::size_t>(stream.size() - consumed, UINT_MAX);
        z.next_in = const_cast<Bytef*>(stream.data() + consumed);
        z.avail_in = static_cast<uInt>(input);
        z.next_out = out.data() + at;
        z.avail_out = static_cast<uInt>(std::min<std::size_t>(room, UINT_MAX));
        const uInt availIn = z.avail_in;
        const uInt availOut = z.avail_out;
        result = inflate(&z, Z_NO_FLUSH);
        consumed += availIn - z.avail_in;
        out.resize(at + (availOut - z.avail_out));
        if (result == Z_BUF_ERROR && consumed == stream.size()) {
            inflateEnd(&z);
            return platform::Status::Error("the compressed database ends in the middle");
        }
        if (result == Z_BUF_ERROR)
            result = Z_OK; // no progress possible with this much room: more is given
    }
    const std::string reason = z.msg != nullptr ? z.msg : "no reason given";
    inflateEnd(&z);
    if (result != Z_STREAM_END)
        return platform::Status::Error("the compressed database is corrupt: " + reason);
    return out;
}

} // namespace device
