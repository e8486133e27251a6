#pragma once

#include "core/device/Song.h"
#include "core/device/TrackStore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view text);
// The same, appended to out.
void AppendJsonString(std::string& out, std::string_view text);

// The texts and numbers of one track's line, as views into wherever they are kept.
struct TrackLine {
    std::string_view title, location, fileSize, album, artist, genre, filetype, comment, eqSetting,
        composer, grouping;
    std::int32_t trackId = 0;
    std::string_view albumArtist;
    device::TrackStore::Numbers numbers;
};

// One track as one JSON object on one line (no line break at the end): the table's fields and
// the identifier, then the album artist and the numbers; appended to out.
void AppendTrackJson(std::string& out, const TrackLine& track);

std::string TrackJson(const TSong& song, std::string_view albumArtist = {},
                      const device::TrackStore::Numbers& numbers = {});

} // namespace cli
