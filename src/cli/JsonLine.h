#pragma once

#include "core/device/Song.h"
#include "core/device/TrackStore.h"

#include <string>
#include <string_view>

namespace cli {

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view text);

// One track as one JSON object on one line (no line break at the end): the table's fields and
// the identifier, then the album artist and the numbers.
std::string TrackJson(const TSong& song, std::string_view albumArtist = {},
                      const device::TrackStore::Numbers& numbers = {});

} // namespace cli
