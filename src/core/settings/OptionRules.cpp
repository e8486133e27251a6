#include "core/settings/OptionRules.h"

#include <algorithm>

namespace settings {

std::vector<ColumnItem> ColumnItems(const std::vector<std::string>& headings,
                                    const std::vector<int>& widths) {
    std::vector<ColumnItem> items;
    const std::size_t columns = std::min(headings.size(), widths.size());
    for (std::size_t column = 1; column < columns; ++column)
        items.push_back({headings[column], widths[column] > 0});
    return items;
}

std::vector<ColumnWidth> AppliedWidths(const std::vector<bool>& checked) {
    std::vector<ColumnWidth> widths;
    for (std::size_t item = 0; item < checked.size(); ++item)
        widths.push_back({static_cast<int>(item) + 1, checked[item] ? kShownColumnWidth : 0});
    return widths;
}

} // namespace settings
