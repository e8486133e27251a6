#include "core/settings/LayoutFile.h"

#include "core/settings/ProfileInt.h"
#include "core/settings/ProgramFiles.h"

namespace settings {
namespace {

constexpr char kLayoutFile[] = "ipdes.dll";
constexpr char kVisible[] = "Visible";
constexpr char kColWidth[] = "COLWIDTH";

} // namespace

platform::Status ReadIniFile(const std::string& programFolder, Layout& layout) {
    const auto file = ProgramFile(programFolder, kLayoutFile);
    const auto shown = [&](const char* key) { return ReadProfileInt(file, kVisible, key, 1) != 0; };

    layout.iPodSelector = shown("iPodSelector");
    layout.iPodSelectorCaption = shown("iPodSelector");
    layout.SearchBox = shown("SearchBox");
    layout.SearchBoxCaption = shown("SearchBox");
    layout.ArtistList = shown("ArtistList");
    layout.AlbumList = shown("AlbumList");
    layout.FileTypeList = shown("FileTypeList");

    layout.ColWidthList.clear();
    // Column 0 has a fixed width of its own; its stored value is not used.
    layout.ColWidthList.push_back(0);
    for (int column = 1; column < kLayoutColumns; ++column)
        layout.ColWidthList.push_back(
            ReadProfileInt(file, kColWidth, std::to_string(column), browser::kDefaultColumnWidth));
    return platform::Status::Ok();
}

platform::Status WriteIniFile(const std::string& programFolder,
                              const std::array<int, kLayoutColumns>& widths) {
    const auto file = ProgramFile(programFolder, kLayoutFile);
    for (int column = 0; column < kLayoutColumns; ++column)
        if (auto status = WriteProfileInt(file, kColWidth, std::to_string(column),
                                          widths[static_cast<std::size_t>(column)]);
            !status)
            return status;
    return platform::Status::Ok();
}

} // namespace settings
