#pragma once

#include <cstdint>
#include <string>

// The record of one track, as the library hands it out: a value, every text in UTF-8.
struct TSong {
    std::string Title;
    std::string Location; // ":"-separated path on the player, starting with ":"
    std::string FileSize; // size text such as "4.76MB"; empty when the file was not found
    std::string Album;
    std::string Artist;
    std::string Genre;
    std::string Filetype;
    std::string Comment;
    std::string EQSetting;
    std::string Composer;
    std::string Grouping;
    std::int32_t TrackID = 0;

    bool operator==(const TSong&) const = default;
};

// The text fields of a track, in the track table's column order (Location last: it is no column).
enum class SongField : std::uint8_t {
    Title,
    FileSize,
    Album,
    Artist,
    Genre,
    Filetype,
    Comment,
    EQSetting,
    Composer,
    Grouping,
    Location,
};
inline constexpr int kSongFieldCount = 11;
