#pragma once

#include "platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TiPod;

namespace copy {

// Where each copy goes below the target folder: a template of folders and a name, parts
// separated by "/", fields in braces. Fields: {title} {artist} {albumartist} (the artist when
// empty) {album} {genre} {composer} {year} {track} {disc}; a number may be padded with zeros,
// {track:02}. Each part goes through the file-name rule; an empty artist or album reads
// "Unknown Artist" or "Unknown Album", a missing number nothing. The track's extension follows
// the last part.
inline constexpr char kFlatLayout[] = "{title}";
inline constexpr std::array<const char*, 4> kReadyLayouts{
    kFlatLayout,
    "{artist}/{album}/{track:02} {title}",
    "{albumartist}/{album}/{disc}-{track:02} {title}",
    "{artist} - {title}",
};

// Why a template cannot be used (an unknown field, a brace left open, no part at all); ok when
// it can.
platform::Status CheckLayout(std::string_view layout);

// The copy's path below the target folder, parts joined by the system's separator; the flat
// layout gives the name the copy has always had. Precondition: CheckLayout(layout).
std::string LayoutPath(std::string_view layout, const TiPod& library, std::int32_t track);

} // namespace copy
