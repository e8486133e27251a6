#include "core/device/SizeText.h"

#include <gtest/gtest.h>

using device::FormatSizeText;

TEST(SizeText, FollowsTheExamplesWithAFullStop) {
    EXPECT_EQ(FormatSizeText(5'000'000, "."), "4.76MB");
    EXPECT_EQ(FormatSizeText(3'500'000, "."), "3.33MB");
    EXPECT_EQ(FormatSizeText(123'456'789, "."), "117.73MB");
    EXPECT_EQ(FormatSizeText(1'048'576, "."), "1MB");
    EXPECT_EQ(FormatSizeText(1'572'864, "."), "1.5MB");
    EXPECT_EQ(FormatSizeText(0, "."), "0MB");
    EXPECT_EQ(FormatSizeText(100, "."), "0.00MB");
}

TEST(SizeText, CutsAfterALocaleComma) {
    EXPECT_EQ(FormatSizeText(5'000'000, ","), "4,76MB");
    EXPECT_EQ(FormatSizeText(1'572'864, ","), "1,5MB");
    EXPECT_EQ(FormatSizeText(1'048'576, ","), "1MB");
    EXPECT_EQ(FormatSizeText(100, ","), "0,00MB");
}

TEST(SizeText, CutsInsteadOfRounding) {
    // 1.999... MB: rounding would give 2.00MB.
    EXPECT_EQ(FormatSizeText(2 * 1'048'576 - 1, "."), "1.99MB");
}

TEST(SizeText, RoundsOnlyAtTheFifteenthDigit) {
    // 1000000000.999999046... MB has sixteen digits before its tail: written with fifteen it
    // becomes 1000000001, which no cut can bring back.
    EXPECT_EQ(FormatSizeText(1'000'000'001ull * 1'048'576 - 1, "."), "1000000001MB");
    // With fewer integer digits the nines survive and are cut, not rounded.
    EXPECT_EQ(FormatSizeText(1'048'575, "."), "0.99MB");
}

TEST(SizeText, FilesOfTwoGibibytesAndMoreKeepTheirTrueSize) {
    EXPECT_EQ(FormatSizeText(2'147'483'648ull, "."), "2048MB");
    EXPECT_EQ(FormatSizeText(3ull * 1024 * 1024 * 1024 + 5'000'000, "."), "3076.76MB");
    EXPECT_EQ(FormatSizeText(5'000'000'000'000ull, "."), "4768371.58MB");
}

TEST(SizeText, KeepsAZeroThatMoreDigitsFollow) {
    EXPECT_EQ(FormatSizeText(1'153'434, "."), "1.10MB"); // 1.1000003...
    EXPECT_EQ(FormatSizeText(1'048'676, "."), "1.00MB"); // 1.0000953...
    EXPECT_EQ(FormatSizeText(1'310'720, "."), "1.25MB"); // exactly 1.25
}

TEST(SizeText, TakesAMultiByteSeparator) {
    EXPECT_EQ(FormatSizeText(5'000'000, "\u066B"), "4\u066B76MB");
}
