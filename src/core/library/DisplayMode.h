#pragma once

#include <cstdint>

// The listings the track table can show.
enum class TDisplayMode : std::uint8_t {
    dmAll = 0,
    dmAlbums = 2,
    dmArtists = 3,
    dmFileTypes = 5,
    dmEmpty = 6,
    dmSearch = 7,
    dmPlaylists = 8,
};
