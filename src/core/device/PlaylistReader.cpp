#include "core/device/PlaylistReader.h"

#include "core/device/ByteReader.h"
#include "core/device/TextCodec.h"

namespace device {
namespace {

constexpr std::size_t kChunkMin = 12;    // tag, header length, total length
constexpr std::size_t kPlaylistMin = 21; // item counts at 12 and 16, master flag at 20
constexpr std::size_t kMemberTrack = 24; // a member's track identifier
constexpr std::size_t kTitleText = 40;   // a string item's text; its length at 28
constexpr std::int32_t kTitleType = 1;
constexpr std::int32_t kUtf8Encoding = 2; // at 24, as in the track list's items
constexpr std::int32_t kPlaylistSet = 2;

// The chunk at offset, its lengths checked against the end of its parent.
struct Chunk {
    std::size_t start = 0;
    std::size_t header = 0;
    std::size_t end = 0;
};

bool ChunkAt(const ByteReader& image, std::size_t offset, std::size_t parentEnd, Chunk& chunk) {
    if (offset > parentEnd || parentEnd - offset < kChunkMin)
        return false;
    const auto header = image.I32(offset + 4);
    const auto total = image.I32(offset + 8);
    if (!header || !total || *header < static_cast<int>(kChunkMin) || *total < *header ||
        static_cast<std::size_t>(*total) > parentEnd - offset)
        return false;
    chunk = {offset, static_cast<std::size_t>(*header), offset + static_cast<std::size_t>(*total)};
    return true;
}

// One playlist; false when it is damaged.
bool ReadPlaylist(const ByteReader& image, const Chunk& list, Playlist& playlist, bool& master) {
    if (list.header < kPlaylistMin)
        return false;
    const auto items = image.I32(list.start + 12);
    const auto members = image.I32(list.start + 16);
    if (!items || !members || *items < 0 || *members < 0)
        return false;
    master = image.Bytes(list.start + 20, 1)[0] != 0;
    std::size_t at = list.start + list.header;
    for (std::int32_t i = 0; i < *items; ++i) {
        Chunk item;
        if (!ChunkAt(image, at, list.end, item))
            return false;
        const auto type = image.I32(item.start + 12);
        const auto length = image.I32(item.start + 28);
        const auto encoding = image.I32(item.start + 24);
        if (type == kTitleType && length && encoding && *length >= 0 &&
            item.end - item.start >= kTitleText &&
            static_cast<std::size_t>(*length) <= item.end - item.start - kTitleText) {
            const auto text =
                image.Bytes(item.start + kTitleText, static_cast<std::size_t>(*length));
            playlist.name.clear();
            if (*encoding == kUtf8Encoding)
                AppendValidUtf8(text, playlist.name);
            else
                AppendUtf16LeAsUtf8(text, playlist.name);
        }
        at = item.end;
    }
    for (std::int32_t i = 0; i < *members; ++i) {
        Chunk member;
        if (!ChunkAt(image, at, list.end, member) || member.header < kMemberTrack + 4)
            return false;
        playlist.trackIds.push_back(*image.I32(member.start + kMemberTrack));
        at = member.end;
    }
    return true;
}

} // namespace

std::vector<Playlist> ReadPlaylists(std::span<const std::uint8_t> bytes) {
    const ByteReader image(bytes);
    std::vector<Playlist> playlists;
    const auto first = image.I32(4);
    if (!first || *first < 0)
        return playlists;
    Chunk set;
    for (std::size_t at = static_cast<std::size_t>(*first); ChunkAt(image, at, image.size(), set);
         at = set.end) {
        const auto type = image.I32(set.start + 12);
        if (!type || *type != kPlaylistSet)
            continue;
        // The list header gives its count at 8 and no total length of its own.
        const std::size_t listStart = set.start + set.header;
        if (set.end - listStart < kChunkMin)
            return playlists;
        const auto listHeader = image.I32(listStart + 4);
        const auto count = image.I32(listStart + 8);
        if (!listHeader || !count || *listHeader < static_cast<int>(kChunkMin) || *count < 0 ||
            static_cast<std::size_t>(*listHeader) > set.end - listStart)
            return playlists;
        std::size_t next = listStart + static_cast<std::size_t>(*listHeader);
        for (std::int32_t i = 0; i < *count; ++i) {
            Chunk list;
            if (!ChunkAt(image, next, set.end, list))
                return playlists;
            Playlist playlist;
            bool master = false;
            if (!ReadPlaylist(image, list, playlist, master))
                return playlists;
            if (!master)
                playlists.push_back(std::move(playlist));
            next = list.end;
        }
        return playlists;
    }
    return playlists;
}

} // namespace device
