#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace device {

// A playlist of the database: its name and the identifiers of its tracks, in its order.
struct Playlist {
    std::string name;
    std::vector<std::int32_t> trackIds;
};

// The playlists of the database's playlist data set (type 2), the master playlist (all tracks)
// left out; smart and podcast playlists are listed as plain ones with the members they hold.
// Bounded like the track reader: a damaged playlist ends the list, keeping those before it.
std::vector<Playlist> ReadPlaylists(std::span<const std::uint8_t> image);

} // namespace device
