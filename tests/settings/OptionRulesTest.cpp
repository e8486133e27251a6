#include "settings/OptionRules.h"

#include <gtest/gtest.h>

namespace {

using settings::ColumnItem;
using settings::ColumnWidth;

TEST(ColumnItems, ItemKIsColumnKPlusOneCheckedWhileWiderThanZero) {
    const std::vector<std::string> headings = {"", "Title", "File Size", "Album", "Artist"};
    const std::vector<int> widths = {16, 0, 1, 80, 300};
    const std::vector<ColumnItem> items = settings::ColumnItems(headings, widths);
    ASSERT_EQ(items.size(), 4u);
    const bool checked[] = {false, true, true, true};
    for (std::size_t k = 0; k < items.size(); ++k) {
        EXPECT_EQ(items[k].text, headings[k + 1]) << k;
        EXPECT_EQ(items[k].checked, checked[k]) << k;
    }
}

TEST(ColumnItems, AHiddenPlayColumnIsNeverListed) {
    const std::vector<ColumnItem> items = settings::ColumnItems({"", "Title"}, {0, 80});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "Title");
}

TEST(AppliedWidths, EveryItemSetsItsColumnToEightyOrZero) {
    const std::vector<ColumnWidth> expected = {{1, 80}, {2, 0}, {3, 80}, {4, 0}};
    EXPECT_EQ(settings::AppliedWidths({true, false, true, false}), expected);
}

} // namespace
