#pragma once

#include "core/device/Song.h"

#include <array>
#include <string_view>

namespace browser {

// The track table's columns, the one definition of them: column 0 shows the play symbol only,
// columns 1 to 10 a field of the track each. The layout file keeps a width for every column.
inline constexpr int kTrackColumns = 11;

inline constexpr std::array<SongField, kTrackColumns> kColumnField = {
    SongField::Title,     SongField::Title,    SongField::FileSize, SongField::Album,
    SongField::Artist,    SongField::Genre,    SongField::Filetype, SongField::Comment,
    SongField::EQSetting, SongField::Composer, SongField::Grouping,
};

inline constexpr std::array<std::string_view, kTrackColumns> kColumnHeading = {
    "",         "Title",   "File Size", "Album",    "Artist",   "Genre",
    "Filetype", "Comment", "EQSetting", "Composer", "Grouping",
};

// A shown column's width in a new layout.
inline constexpr int kDefaultColumnWidth = 80;

} // namespace browser
