#include "core/device/TrackListReader.h"

#include "core/device/ByteReader.h"

#include <algorithm>

namespace device {
namespace {

// Chunk headers: tag at 0, header length at 4, total length at 8; the rest depends on the kind.
constexpr std::size_t kDataSetMinHeader = 16;   // type at 12
constexpr std::size_t kTrackListMinHeader = 12; // track count at 8
constexpr std::size_t kTrackMinHeader = 20;     // item count at 12, track id at 16
constexpr std::size_t kItemMinLength = 16;      // type at 12
constexpr std::size_t kStringItemEncoding = 24; // the first field after the 24-byte header
constexpr std::size_t kStringItemText = 40;     // length at 28, text at 40
constexpr std::int32_t kUtf8Encoding = 2;       // 1 is UTF-16LE; the value at 32 is no mark

// Item types that fill a field; 9 to 11 and 14 and up are passed over by their own length.
int FieldOfItemType(std::int32_t type) {
    switch (type) {
    case 1:
        return TrackStore::kTitle;
    case 2:
        return TrackStore::kLocation;
    case 3:
        return TrackStore::kAlbum;
    case 4:
        return TrackStore::kArtist;
    case 5:
        return TrackStore::kGenre;
    case 6:
        return TrackStore::kFiletype;
    case 7:
        return TrackStore::kEQSetting;
    case 8:
        return TrackStore::kComment;
    case 12:
        return TrackStore::kComposer;
    case 13:
        return TrackStore::kGrouping;
    case 22:
        return TrackStore::kAlbumArtist;
    default:
        return -1;
    }
}

std::string TrackProblem(std::int32_t index, std::int32_t announced, const char* what) {
    return "track " + std::to_string(index + 1) + " of " + std::to_string(announced) + ": " + what;
}

// The numbers of a track item, at their places in its header; a header too short for one
// (older databases) leaves it 0, and so does a negative value.
TrackStore::Numbers ReadNumbers(const ByteReader& image, std::size_t start,
                                std::size_t headerLength) {
    auto at = [&](std::size_t offset) {
        const auto value = offset + 4 <= headerLength ? image.I32(start + offset) : std::nullopt;
        return value && *value > 0 ? *value : 0;
    };
    return {at(0x2C), at(0x30), at(0x5C), at(0x60), at(0x34), at(0x28)};
}

// Reads one track record spanning [start, end); false with a problem text when it is damaged.
bool ReadTrack(const ByteReader& image, std::size_t start, std::size_t end,
               TrackStore::RawText (&texts)[TrackStore::kDbFieldCount], std::int32_t& trackId,
               TrackStore::Numbers& numbers, const char*& problem) {
    const auto headerLength = image.I32(start + 4);
    const auto itemCount = image.I32(start + 12);
    const auto id = image.I32(start + 16);
    if (!headerLength || !itemCount || !id || *headerLength < static_cast<int>(kTrackMinHeader) ||
        static_cast<std::size_t>(*headerLength) > end - start) {
        problem = "its header length is out of range";
        return false;
    }
    trackId = *id;
    numbers = ReadNumbers(image, start, static_cast<std::size_t>(*headerLength));
    for (auto& text : texts)
        text = {};

    std::size_t item = start + static_cast<std::size_t>(*headerLength);
    for (std::int32_t i = 0; i < *itemCount; ++i) {
        if (end - item < kItemMinLength) {
            problem = "its items run past the end of its record";
            return false;
        }
        // Every item, string or not, gives its own total length at offset 8; non-string items
        // (podcast addresses, chapter and video data, playlist data) have no length at 28.
        const auto length = image.I32(item + 8);
        const auto type = image.I32(item + 12);
        if (!length || !type || *length < static_cast<int>(kItemMinLength) ||
            static_cast<std::size_t>(*length) > end - item) {
            problem = "an item's length is out of range";
            return false;
        }
        const int field = FieldOfItemType(*type);
        if (field >= 0) {
            const auto textLength = image.I32(item + 28);
            const auto encoding = image.I32(item + kStringItemEncoding);
            if (static_cast<std::size_t>(*length) < kStringItemText || !textLength || !encoding ||
                *textLength < 0 ||
                static_cast<std::size_t>(*textLength) >
                    static_cast<std::size_t>(*length) - kStringItemText) {
                // The album artist came later than the other texts: an item of its type that
                // is no text is passed over, as every other unknown item is.
                if (field == TrackStore::kAlbumArtist) {
                    item += static_cast<std::size_t>(*length);
                    continue;
                }
                problem = "a text runs past the end of its item";
                return false;
            }
            // A second item of the same type replaces the first.
            texts[field].bytes =
                image.Bytes(item + kStringItemText, static_cast<std::size_t>(*textLength));
            texts[field].encoding = *encoding == kUtf8Encoding ? TrackStore::Encoding::Utf8
                                                               : TrackStore::Encoding::Utf16Le;
        }
        item += static_cast<std::size_t>(*length);
    }
    return true;
}

} // namespace

ParseOutcome ReadTrackList(std::span<const std::uint8_t> bytes, const DataSetInfo& trackList,
                           TrackStore& out) {
    const ByteReader image(bytes);
    ParseOutcome outcome;
    outcome.trackListFound = true;

    // A data set that claims more than the file holds (a truncated copy) is read as far as it
    // goes.
    if (trackList.Offset < 0 || trackList.HeaderLength < 0 || trackList.TotalLength < 0) {
        outcome.problem = "the track list's place is out of range";
        return outcome;
    }
    const std::size_t setStart = static_cast<std::size_t>(trackList.Offset);
    const std::size_t setEnd =
        std::min(image.size(), setStart + static_cast<std::size_t>(trackList.TotalLength));
    const std::size_t header = setStart + static_cast<std::size_t>(trackList.HeaderLength);
    const auto headerLength = image.I32(header + 4);
    const auto count = image.I32(header + 8);
    if (header > setEnd || !headerLength || !count ||
        *headerLength < static_cast<int>(kTrackListMinHeader) ||
        static_cast<std::size_t>(*headerLength) > setEnd - header) {
        outcome.problem = "the track list header is damaged";
        return outcome;
    }
    if (*count < 0) {
        outcome.problem = "the track list announces a negative number of tracks";
        return outcome;
    }
    outcome.announced = *count;

    std::size_t track = header + static_cast<std::size_t>(*headerLength);
    // Never trust the count for memory: a track takes at least its minimal header.
    const std::size_t possible = (setEnd - track) / kTrackMinHeader;
    out.Reserve(std::min<std::size_t>(static_cast<std::size_t>(*count), possible),
                std::min<std::size_t>(setEnd - track, static_cast<std::size_t>(*count) * 96));

    TrackStore::RawText texts[TrackStore::kDbFieldCount];
    for (std::int32_t i = 0; i < *count; ++i) {
        const auto totalLength = image.I32(track + 8);
        if (setEnd - track < kTrackMinHeader || !totalLength ||
            *totalLength < static_cast<int>(kTrackMinHeader) ||
            static_cast<std::size_t>(*totalLength) > setEnd - track) {
            outcome.problem = TrackProblem(i, *count, "its record runs past the track list");
            return outcome;
        }
        const std::size_t end = track + static_cast<std::size_t>(*totalLength);
        std::int32_t trackId = 0;
        TrackStore::Numbers numbers;
        const char* problem = nullptr;
        if (!ReadTrack(image, track, end, texts, trackId, numbers, problem)) {
            outcome.problem = TrackProblem(i, *count, problem);
            return outcome;
        }
        out.AppendTrack(trackId, texts, numbers);
        track = end;
    }
    outcome.complete = true;
    return outcome;
}

ParseOutcome ParseDatabase(std::span<const std::uint8_t> bytes, TrackStore& out,
                           DataSetTable& dataSets) {
    const ByteReader image(bytes);
    ParseOutcome outcome;

    const auto firstSet = image.I32(4);
    if (!firstSet || *firstSet < 0) {
        outcome.problem = "the file header is damaged";
        return outcome;
    }
    // The track list (type 1) may stand anywhere among the data sets; real databases often
    // begin with another type.
    std::size_t offset = static_cast<std::size_t>(*firstSet);
    while (image.Has(offset, kDataSetMinHeader)) {
        const auto headerLength = image.I32(offset + 4);
        const auto totalLength = image.I32(offset + 8);
        const auto type = image.I32(offset + 12);
        if (*headerLength < static_cast<int>(kDataSetMinHeader) || *totalLength < *headerLength) {
            outcome.problem = "a data set's lengths are out of range";
            return outcome;
        }
        const DataSetInfo info{*totalLength, *headerLength, static_cast<std::int32_t>(offset)};
        if (*type >= 1 && *type <= 3)
            dataSets[static_cast<std::size_t>(*type - 1)] = info;
        if (*type == 1) {
            return ReadTrackList(bytes, info, out);
        }
        offset += static_cast<std::size_t>(*totalLength);
    }
    outcome.problem = "the database holds no track list";
    return outcome;
}

} // namespace device
