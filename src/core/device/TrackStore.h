#pragma once

#include "core/device/Song.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace device {

// The numbers a track item holds besides its texts; 0 where it holds none.
struct TrackNumbers {
    std::int32_t trackNumber = 0;
    std::int32_t trackCount = 0;
    std::int32_t discNumber = 0;
    std::int32_t discCount = 0;
    std::int32_t year = 0;
    std::int32_t durationMs = 0;
    bool operator==(const TrackNumbers&) const = default;
};

// The tracks of one database in a compact form: all texts in one buffer, located by offsets,
// so a library costs its text plus a few bytes per track instead of eleven strings per track.
class TrackStore {
public:
    // The database texts of one track, in the order they are kept.
    enum DbField : std::uint8_t {
        kTitle,
        kLocation,
        kAlbum,
        kArtist,
        kGenre,
        kFiletype,
        kComment,
        kEQSetting,
        kComposer,
        kGrouping,
        kAlbumArtist,
        kDbFieldCount
    };

    enum class Encoding : std::uint8_t { Utf16Le, Utf8 };
    struct RawText {
        std::span<const std::uint8_t> bytes;
        Encoding encoding = Encoding::Utf16Le;
    };

    using Numbers = TrackNumbers;

    void Reserve(std::size_t tracks, std::size_t textBytes);
    // Converts and appends one track; a field without text stays empty.
    void AppendTrack(std::int32_t trackId, const RawText (&texts)[kDbFieldCount],
                     const Numbers& numbers = {});
    void SetSizeTexts(std::string texts, std::vector<std::uint32_t> offsets);
    // Returns what the reservations for a load left unused.
    void ShrinkToFit();

    std::int32_t Count() const { return static_cast<std::int32_t>(ids_.size()); }
    std::string_view Text(std::int32_t index, DbField field) const;
    std::string_view Field(std::int32_t index, SongField field) const;
    std::int32_t TrackId(std::int32_t index) const { return ids_[static_cast<std::size_t>(index)]; }
    const Numbers& NumbersOf(std::int32_t index) const {
        return numbers_[static_cast<std::size_t>(index)];
    }
    TSong Song(std::int32_t index) const;

    std::size_t TextBytes() const { return text_.size() + sizeText_.size(); }
    std::size_t MemoryBytes() const;

private:
    std::string text_;
    std::vector<std::uint32_t> offsets_{0}; // kDbFieldCount per track, plus the end
    std::vector<std::int32_t> ids_;
    std::vector<Numbers> numbers_;
    std::string sizeText_;
    std::vector<std::uint32_t> sizeOffsets_{0};
};

} // namespace device
