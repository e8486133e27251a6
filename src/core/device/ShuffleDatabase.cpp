#include "core/device/ShuffleDatabase.h"

#include "core/device/ByteReader.h"
#include "core/device/TextCodec.h"

#include <algorithm>

namespace device {
namespace {

// The first shuffles: all numbers 24-bit big-endian.
constexpr std::size_t kOldHeader = 18;     // its own size at offset 6
constexpr std::size_t kOldEntry = 558;     // each entry's size at its offset 0
constexpr std::size_t kOldPath = 33;       // after eleven numbers
constexpr std::size_t kOldPathBytes = 522; // UTF-16LE, padded with zeros
// The later ones: 32-bit little-endian.
constexpr std::size_t kHeaderMin = 44;      // the track header's offset at 36
constexpr std::size_t kTrackHeaderMin = 20; // count at 8, then one offset per track
constexpr std::size_t kTrackPath = 24;
constexpr std::size_t kTrackPathBytes = 256; // UTF-8, padded with zeros
constexpr std::int32_t kMostTracks = 1 << 20;

std::uint32_t U24(std::span<const std::uint8_t> image, std::size_t at) {
    return static_cast<std::uint32_t>(image[at]) << 16 |
           static_cast<std::uint32_t>(image[at + 1]) << 8 | image[at + 2];
}

// "/iPod_Control/Music/F00/A.mp3" as the main database writes it.
std::string Location(std::string path) {
    std::replace(path.begin(), path.end(), '/', ':');
    return path;
}

bool LooksOld(std::span<const std::uint8_t> image) {
    return image.size() >= kOldHeader && U24(image, 6) == kOldHeader &&
           (image.size() == kOldHeader ||
            (image.size() >= kOldHeader + 3 && U24(image, kOldHeader) == kOldEntry));
}

bool LooksNew(std::span<const std::uint8_t> image) {
    static constexpr std::uint8_t kTag[] = {'b', 'd', 'h', 's'};
    return image.size() >= kHeaderMin &&
           std::equal(std::begin(kTag), std::end(kTag), image.begin());
}

void ReadOld(std::span<const std::uint8_t> image, ShuffleParse& parse) {
    parse.announced = static_cast<std::int32_t>(U24(image, 0));
    std::size_t at = kOldHeader;
    for (std::int32_t i = 0; i < parse.announced; ++i, at += kOldEntry) {
        if (image.size() - at < kOldEntry || U24(image, at) != kOldEntry) {
            parse.problem = "track " + std::to_string(i + 1) + " of " +
                            std::to_string(parse.announced) + " is cut off or out of place";
            return;
        }
        const auto path = image.subspan(at + kOldPath, kOldPathBytes);
        std::size_t length = 0;
        while (length + 1 < path.size() && (path[length] != 0 || path[length + 1] != 0))
            length += 2;
        std::string text;
        AppendUtf16LeAsUtf8(path.first(length), text);
        parse.locations.push_back(Location(std::move(text)));
    }
    parse.complete = true;
}

void ReadNew(std::span<const std::uint8_t> image, ShuffleParse& parse) {
    const ByteReader reader(image);
    const auto count = reader.I32(12);
    const auto trackHeader = reader.I32(36);
    if (!count || !trackHeader || *count < 0 || *trackHeader < 0) {
        parse.problem = "its header is damaged";
        return;
    }
    parse.announced = std::min(*count, kMostTracks);
    const auto header = static_cast<std::size_t>(*trackHeader);
    const auto listed = reader.I32(header + 8);
    if (!reader.Has(header, kTrackHeaderMin) || !listed) {
        parse.problem = "its track header lies past its end";
        return;
    }
    for (std::int32_t i = 0; i < parse.announced; ++i) {
        const auto offset = reader.I32(header + kTrackHeaderMin + 4 * static_cast<std::size_t>(i));
        const auto start = offset && *offset >= 0 ? static_cast<std::size_t>(*offset) : 0;
        if (i >= *listed || start == 0 || !reader.Has(start + kTrackPath, kTrackPathBytes)) {
            parse.problem = "track " + std::to_string(i + 1) + " of " +
                            std::to_string(parse.announced) + " lies past its end";
            return;
        }
        const auto path = image.subspan(start + kTrackPath, kTrackPathBytes);
        const auto end = std::find(path.begin(), path.end(), std::uint8_t{0});
        std::string text;
        AppendValidUtf8(path.first(static_cast<std::size_t>(end - path.begin())), text);
        parse.locations.push_back(Location(std::move(text)));
    }
    parse.complete = parse.announced == *count;
    if (!parse.complete)
        parse.problem = "it announces more tracks than a shuffle holds";
}

} // namespace

ShuffleParse ParseShuffleDatabase(std::span<const std::uint8_t> image) {
    ShuffleParse parse;
    if (LooksNew(image)) {
        parse.recognised = true;
        ReadNew(image, parse);
    } else if (LooksOld(image)) {
        parse.recognised = true;
        ReadOld(image, parse);
    }
    return parse;
}

} // namespace device
