#pragma once

// What the options window does to the track table's columns and the two switches, without
// widgets.

#include "core/library/TrackColumns.h"

#include <string>
#include <vector>

namespace settings {

// A column that is shown gets this width; a hidden one gets 0.
inline constexpr int kShownColumnWidth = browser::kDefaultColumnWidth;

// "Restore Default" gives the switches the values a first run reads.
inline constexpr bool kDefaultDBClickPlaySong = false;
inline constexpr bool kDefaultOverWriteExistFile = true;

struct ColumnItem {
    std::string text;
    bool checked = false;
};

// The column list for a table whose columns have these headings and widths: one item per column
// but column 0 (the play symbol), item k standing for column k + 1, checked while that column is
// wider than 0.
std::vector<ColumnItem> ColumnItems(const std::vector<std::string>& headings,
                                    const std::vector<int>& widths);

struct ColumnWidth {
    int column = 0;
    int width = 0;
    bool operator==(const ColumnWidth&) const = default;
};

// Applying the list sets every item's column, not only the one toggled: a checked item's column
// to kShownColumnWidth (a shown column the user widened returns to it), a clear one's to 0.
std::vector<ColumnWidth> AppliedWidths(const std::vector<bool>& checked);

} // namespace settings
