#pragma once

#include "core/library/TrackColumns.h"
#include "platform/Status.h"

#include <array>
#include <string>
#include <vector>

namespace settings {

inline constexpr int kLayoutColumns = browser::kTrackColumns;

// What the layout file "ipdes.dll" says about the main window.
struct Layout {
    bool iPodSelector = true;
    bool iPodSelectorCaption = true;
    bool SearchBox = true;
    bool SearchBoxCaption = true;
    bool ArtistList = true;
    bool AlbumList = true;
    bool FileTypeList = true;
    // Widths of the track table's columns 0 to 10; entry 0 is always 0 (its width is fixed).
    std::vector<int> ColWidthList;
};

// Reads section "Visible" (0 hides, default shown) and the widths of section "COLWIDTH"
// (default 80). A missing file or a value that is not an integer gives the defaults.
platform::Status ReadIniFile(const std::string& programFolder, Layout& layout);

// Writes the widths as keys "0" to "10" of section "COLWIDTH", leaving every other line of the
// file as it was; stops at the first key that cannot be written.
platform::Status WriteIniFile(const std::string& programFolder,
                              const std::array<int, kLayoutColumns>& widths);

} // namespace settings
