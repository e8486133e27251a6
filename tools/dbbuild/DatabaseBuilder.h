#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// Writes track databases in the players' chunk layout, for tests, fuzz seeds, benchmarks and
// the demo player. Every chunk gets consistent lengths and counts; tests that need a damaged
// file build a good one and patch it at the offsets reported in Layout.
namespace dbbuild {

// A string item: 24-byte header, then the encoding, text length B, 1 and a zero (real databases
// hold 0 or 1 at offset 32), then the text. Encoding 2 stores the UTF-8 bytes; any other value
// stores UTF-16LE.
struct StringItem {
    std::int32_t type;
    std::string text; // UTF-8; an encoded surrogate (ED A0 80..ED BF BF) passes through as is
    std::int32_t encoding = 1;
};

// Any other item: 24-byte header, then the payload as given (podcast addresses, chapter data,
// or hand-made string items with odd lengths).
struct RawItem {
    std::int32_t type;
    std::vector<std::uint8_t> payload;
};

using Item = std::variant<StringItem, RawItem>;

struct Track {
    std::int32_t trackId = 0;
    std::vector<Item> items;
    // 32-bit values at offsets of the track header (track number at 0x2C, year at 0x34, ...),
    // each written where the header is long enough for it.
    std::vector<std::pair<std::size_t, std::int32_t>> headerValues = {};
};

// A playlist of the playlist data set (type 2): its title and its members' track ids, in order.
struct Playlist {
    std::string name;
    std::vector<std::int32_t> trackIds;
};

// File offsets of the chunks of the last Build.
struct Layout {
    std::size_t trackListSet = 0;                // the type-1 data set
    std::size_t trackListHeader = 0;             // the track-list header inside it
    std::vector<std::size_t> tracks;             // each track record
    std::vector<std::vector<std::size_t>> items; // each item, per track
    std::vector<std::size_t> dataSets;           // every data set, in file order
};

inline constexpr std::int32_t kFileHeaderLength = 244;
inline constexpr std::int32_t kOldFileHeaderLength = 104;
inline constexpr std::int32_t kDataSetHeaderLength = 96;
inline constexpr std::int32_t kTrackListHeaderLength = 92;
inline constexpr std::int32_t kTrackHeaderLength = 584;
inline constexpr std::int32_t kOldTrackHeaderLength = 160;
inline constexpr std::int32_t kItemHeaderLength = 24;
inline constexpr std::int32_t kStringTextOffset = 40;
inline constexpr std::int32_t kPlaylistHeaderLength = 108;
inline constexpr std::int32_t kMemberHeaderLength = 76;

class DatabaseBuilder {
public:
    // Starts with the data sets real databases carry: type 4 before the track list, types 3
    // and 2 after it.
    DatabaseBuilder();

    DatabaseBuilder& AddTrack(Track track);
    // A data set of the given type holding contentBytes of filler after its header.
    DatabaseBuilder& AddDataSet(std::int32_t type, std::size_t contentBytes, bool beforeTrackList);
    // Drops every data set but the track list (old databases hold only types 1 and 2).
    DatabaseBuilder& ClearDataSets();
    // At least 20 bytes; old databases use 160.
    DatabaseBuilder& SetTrackHeaderLength(std::int32_t length);
    // At least 24 bytes; old databases use 104.
    DatabaseBuilder& SetFileHeaderLength(std::int32_t length);

    // With playlists, the type-2 data set holds them, after the master playlist of every track
    // that real databases put first (a database without a type-2 set gains one at its end).
    DatabaseBuilder& AddPlaylist(Playlist playlist);

    std::size_t TrackCount() const { return tracks_.size(); }

    std::vector<std::uint8_t> Build(Layout* layout = nullptr) const;

private:
    struct OtherSet {
        std::int32_t type;
        std::size_t contentBytes;
    };

    void WritePlaylistSet(std::vector<std::uint8_t>& out) const;

    std::vector<Track> tracks_;
    std::vector<Playlist> playlists_;
    std::vector<OtherSet> before_;
    std::vector<OtherSet> after_;
    std::int32_t trackHeaderLength_ = kTrackHeaderLength;
    std::int32_t fileHeaderLength_ = kFileHeaderLength;
};

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// UTF-8 to UTF-16; invalid bytes become U+FFFD, encoded surrogates are kept as lone units.
std::u16string Utf16FromUtf8(std::string_view utf8);
// The UTF-16LE bytes of the text, as a string item stores them.
std::string Utf16Bytes(std::u16string_view text);

// A track with one string item (encoding 1 unless given) per entry, in the order given.
Track MakeTrack(std::int32_t id, std::initializer_list<StringItem> strings);

// A string item assembled by hand: the given bytes stored as the text, B = their count, so
// tests can write odd lengths, lone surrogates or any byte pattern.
RawItem MakeRawStringItem(std::int32_t type, std::string_view textBytes, std::int32_t encoding = 1);

} // namespace dbbuild
