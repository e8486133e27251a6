#pragma once

#include "core/library/DisplayMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TiPod;

namespace browser {

// The tracks (library indices) that a display mode shows. Names are the chosen albums, artists,
// file types or playlists (compared without regard to case under the user's locale), or the one
// search text for dmSearch. Playlists give their tracks in the player's order of playlists and
// of members, each track once, at its first place; the other modes list in library order.
std::vector<std::int32_t> ListTracks(const TiPod& library, TDisplayMode mode,
                                     const std::vector<std::string>& names);

// The status text a listing writes, or nothing when it leaves the status line alone.
std::optional<std::string> ListingStatus(TDisplayMode mode, const std::vector<std::string>& names,
                                         std::int32_t songCount);

// The status line shows at most 46 characters, then "...".
std::string CutStatusText(std::string_view text);

// "0 file Selected", "1 file Selected", "2 files Selected".
std::string SelectionCountText(std::int64_t count);

inline constexpr char kAllEntry[] = "All ...";

} // namespace browser
