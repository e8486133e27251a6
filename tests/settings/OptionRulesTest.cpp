#include "core/settings/OptionRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ColumnItems, ItemKIsColumnKPlusOneCheckedWhileWiderThanZero) {
    const std::vector<settings::ColumnItem> items =
        settings::ColumnItems({"", "Title", "File Size", "Album", "Artist"}, {16, 0, 1, 80, 300});
    const char* texts[] = {"Title", "File Size", "Album", "Artist"};
    const bool checked[] = {false, true, true, true};
    ASSERT_EQ(items.size(), 4u);
    for (std::size_t k = 0; k < items.size(); ++k) {
        EXPECT_EQ(items[k].text, texts[k]) << k;
        EXPECT_EQ(items[k].checked, checked[k]) << k;
    }
}

TEST(AppliedWidths, EveryItemSetsItsColumnToEightyOrZero) {
    const std::vector<settings::ColumnWidth> expected = {{1, 80}, {2, 0}, {3, 80}};
    EXPECT_EQ(settings::AppliedWidths({true, false, true}), expected);
}

} // namespace
