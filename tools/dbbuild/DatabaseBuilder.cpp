#include "DatabaseBuilder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace dbbuild {

namespace {

constexpr std::int32_t kTrackListType = 1;
constexpr std::int32_t kPlaylistType = 2;

// resize and memcpy rather than insert: GCC 12 at -O3 warns falsely about insert of a range.
void Append(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
    if (size == 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + size);
    std::memcpy(out.data() + at, data, size);
}

void Append(std::vector<std::uint8_t>& out, std::string_view bytes) {
    Append(out, bytes.data(), bytes.size());
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendZeros(std::vector<std::uint8_t>& out, std::size_t count) {
    out.insert(out.end(), count, 0);
}

std::uint32_t U32(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("chunk longer than 4 GiB");
    return static_cast<std::uint32_t>(value);
}

std::uint32_t U32(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

// Chunks are written with a zero total length and patched once their contents are known.
void PatchLength(std::vector<std::uint8_t>& out, std::size_t start) {
    PutU32(out, start + 8, U32(out.size() - start));
}

std::string_view ListTagFor(std::int32_t setType) {
    switch (setType) {
    case 4:
        return "mhla";
    case 8:
        return "mhli";
    case 6:
    case 10:
        return "mhlt";
    default:
        return "mhlp";
    }
}

void WriteDataSetHeader(std::vector<std::uint8_t>& out, std::int32_t type) {
    Append(out, "mhsd");
    AppendU32(out, U32(kDataSetHeaderLength));
    AppendU32(out, 0);
    AppendU32(out, U32(type));
    AppendZeros(out, kDataSetHeaderLength - 16);
}

// Filler shaped like an empty list when there is room for a list header; readers only ever
// skip these sets by their total length.
void WriteFillerSet(std::vector<std::uint8_t>& out, std::int32_t type, std::size_t contentBytes) {
    const std::size_t start = out.size();
    WriteDataSetHeader(out, type);
    const std::size_t content = out.size();
    if (contentBytes >= 12) {
        Append(out, ListTagFor(type));
        AppendU32(out, U32(std::min<std::size_t>(contentBytes, kTrackListHeaderLength)));
        AppendU32(out, 0);
    }
    AppendZeros(out, contentBytes - (out.size() - content));
    PatchLength(out, start);
}

std::string ItemText(const StringItem& item) {
    if (item.encoding == 2)
        return item.text;
    return Utf16Bytes(Utf16FromUtf8(item.text));
}

void WriteItemHeader(std::vector<std::uint8_t>& out, std::int32_t type) {
    Append(out, "mhod");
    AppendU32(out, U32(kItemHeaderLength));
    AppendU32(out, 0);
    AppendU32(out, U32(type));
    AppendZeros(out, kItemHeaderLength - 16);
}

void WriteStringFields(std::vector<std::uint8_t>& out, std::string_view text,
                       std::int32_t encoding) {
    AppendU32(out, U32(encoding));
    AppendU32(out, U32(text.size()));
    AppendU32(out, 1); // as current databases have it; older ones hold 0
    AppendU32(out, 0);
    Append(out, text);
}

void WriteItem(std::vector<std::uint8_t>& out, const Item& item) {
    const std::size_t start = out.size();
    std::visit(
        [&out](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            WriteItemHeader(out, value.type);
            if constexpr (std::is_same_v<T, StringItem>)
                WriteStringFields(out, ItemText(value), value.encoding);
            else
                Append(out, value.payload.data(), value.payload.size());
        },
        item);
    PatchLength(out, start);
}

void WriteTrack(std::vector<std::uint8_t>& out, const Track& track, std::int32_t headerLength,
                std::vector<std::size_t>* itemOffsets) {
    const std::size_t start = out.size();
    Append(out, "mhit");
    AppendU32(out, U32(headerLength));
    AppendU32(out, 0);
    AppendU32(out, U32(track.items.size()));
    AppendU32(out, U32(track.trackId));
    AppendZeros(out, static_cast<std::size_t>(headerLength) - 20);
    for (const auto& [offset, value] : track.headerValues)
        if (offset >= 20 && offset + 4 <= static_cast<std::size_t>(headerLength))
            PutU32(out, start + offset, U32(value));
    for (const Item& item : track.items) {
        if (itemOffsets)
            itemOffsets->push_back(out.size());
        WriteItem(out, item);
    }
    PatchLength(out, start);
}

// A playlist record: item count at 12, member count at 16, the master flag in byte 20; then its
// title item and one member record a track, the track id at 24.
void WritePlaylist(std::vector<std::uint8_t>& out, const Playlist& playlist, bool master) {
    const std::size_t start = out.size();
    Append(out, "mhyp");
    AppendU32(out, U32(kPlaylistHeaderLength));
    AppendU32(out, 0);
    AppendU32(out, 1);
    AppendU32(out, U32(playlist.trackIds.size()));
    out.push_back(master ? 1 : 0);
    AppendZeros(out, kPlaylistHeaderLength - 21);
    WriteItem(out, StringItem{1, playlist.name});
    for (std::int32_t id : playlist.trackIds) {
        Append(out, "mhip");
        AppendU32(out, U32(kMemberHeaderLength));
        AppendU32(out, U32(kMemberHeaderLength));
        AppendZeros(out, 12);
        AppendU32(out, U32(id));
        AppendZeros(out, kMemberHeaderLength - 28);
    }
    PatchLength(out, start);
}

std::size_t EstimateSize(const std::vector<Track>& tracks, std::int32_t headerLength) {
    std::size_t total = 4096;
    for (const Track& track : tracks) {
        total += static_cast<std::size_t>(headerLength);
        for (const Item& item : track.items) {
            total += kStringTextOffset;
            if (const auto* text = std::get_if<StringItem>(&item))
                total += text->text.size() * 2;
            else
                total += std::get<RawItem>(item).payload.size();
        }
    }
    return total;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

} // namespace

DatabaseBuilder::DatabaseBuilder() {
    before_.push_back({4, 326});
    after_.push_back({3, kTrackListHeaderLength});
    after_.push_back({2, kTrackListHeaderLength});
}

DatabaseBuilder& DatabaseBuilder::AddTrack(Track track) {
    tracks_.push_back(std::move(track));
    return *this;
}

DatabaseBuilder& DatabaseBuilder::AddDataSet(std::int32_t type, std::size_t contentBytes,
                                             bool beforeTrackList) {
    (beforeTrackList ? before_ : after_).push_back({type, contentBytes});
    return *this;
}

DatabaseBuilder& DatabaseBuilder::AddPlaylist(Playlist playlist) {
    playlists_.push_back(std::move(playlist));
    return *this;
}

void DatabaseBuilder::WritePlaylistSet(std::vector<std::uint8_t>& out) const {
    const std::size_t start = out.size();
    WriteDataSetHeader(out, kPlaylistType);
    // The list header has its count at 8 and no total length.
    Append(out, "mhlp");
    AppendU32(out, U32(kTrackListHeaderLength));
    AppendU32(out, U32(playlists_.size() + 1));
    AppendZeros(out, kTrackListHeaderLength - 12);
    Playlist master{"Library", {}};
    for (const Track& track : tracks_)
        master.trackIds.push_back(track.trackId);
    WritePlaylist(out, master, true);
    for (const Playlist& playlist : playlists_)
        WritePlaylist(out, playlist, false);
    PatchLength(out, start);
}

DatabaseBuilder& DatabaseBuilder::ClearDataSets() {
    before_.clear();
    after_.clear();
    return *this;
}

DatabaseBuilder& DatabaseBuilder::SetTrackHeaderLength(std::int32_t length) {
    if (length < 20)
        throw std::invalid_argument("a track record header holds at least 20 bytes");
    trackHeaderLength_ = length;
    return *this;
}

DatabaseBuilder& DatabaseBuilder::SetFileHeaderLength(std::int32_t length) {
    if (length < 24)
        throw std::invalid_argument("a file header holds at least 24 bytes");
    fileHeaderLength_ = length;
    return *this;
}

std::vector<std::uint8_t> DatabaseBuilder::Build(Layout* layout) const {
    Layout scratch;
    Layout& where = layout ? *layout : scratch;
    where = Layout{};
    const bool keepItems = layout != nullptr;

    std::vector<std::uint8_t> out;
    out.reserve(EstimateSize(tracks_, trackHeaderLength_));

    Append(out, "mhbd");
    AppendU32(out, U32(fileHeaderLength_));
    AppendU32(out, 0);
    AppendU32(out, 1);
    AppendU32(out, 0x30); // database version
    const bool playlistSetAdded =
        !playlists_.empty() && std::none_of(after_.begin(), after_.end(), [](const OtherSet& set) {
            return set.type == kPlaylistType;
        });
    AppendU32(out, U32(before_.size() + 1 + after_.size() + (playlistSetAdded ? 1 : 0)));
    AppendZeros(out, static_cast<std::size_t>(fileHeaderLength_) - 24);

    for (const OtherSet& set : before_) {
        where.dataSets.push_back(out.size());
        WriteFillerSet(out, set.type, set.contentBytes);
    }

    where.trackListSet = out.size();
    where.dataSets.push_back(out.size());
    WriteDataSetHeader(out, kTrackListType);
    where.trackListHeader = out.size();
    Append(out, "mhlt");
    AppendU32(out, U32(kTrackListHeaderLength));
    AppendU32(out, U32(tracks_.size()));
    AppendZeros(out, kTrackListHeaderLength - 12);
    where.tracks.reserve(tracks_.size());
    if (keepItems)
        where.items.resize(tracks_.size());
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        where.tracks.push_back(out.size());
        WriteTrack(out, tracks_[i], trackHeaderLength_, keepItems ? &where.items[i] : nullptr);
    }
    PatchLength(out, where.trackListSet);

    bool playlistsWritten = playlists_.empty();
    for (const OtherSet& set : after_) {
        where.dataSets.push_back(out.size());
        if (set.type == kPlaylistType && !playlistsWritten) {
            WritePlaylistSet(out);
            playlistsWritten = true;
        } else {
            WriteFillerSet(out, set.type, set.contentBytes);
        }
    }
    if (!playlistsWritten) {
        where.dataSets.push_back(out.size());
        WritePlaylistSet(out);
    }

    PutU32(out, 8, U32(out.size()));
    return out;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 4)
        throw std::out_of_range("PutU32 past the end");
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4)
        throw std::out_of_range("GetU32 past the end");
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            codePoint = lead & 0x1F;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            codePoint = lead & 0x0F;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            codePoint = lead & 0x07;
            minimum = 0x10000;
        }
        bool valid = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        valid = valid && codePoint >= minimum && codePoint <= 0x10FFFF;
        if (!valid) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        AppendUtf16(out, codePoint);
        i += length;
    }
    return out;
}

std::string Utf16Bytes(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

Track MakeTrack(std::int32_t id, std::initializer_list<StringItem> strings) {
    Track track;
    track.trackId = id;
    track.items.assign(strings.begin(), strings.end());
    return track;
}

RawItem MakeRawStringItem(std::int32_t type, std::string_view textBytes, std::int32_t encoding) {
    std::vector<std::uint8_t> payload;
    payload.reserve(16 + textBytes.size());
    WriteStringFields(payload, textBytes, encoding);
    return RawItem{type, std::move(payload)};
}

} // namespace dbbuild
