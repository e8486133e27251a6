#include "core/library/SizeValue.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct SizeCase {
    const char* text;
    std::optional<double> megabytes;
};

class SizeValues : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeValues, AreTheSizeTheCellShows) {
    const auto value = browser::SizeTextValue(GetParam().text);
    ASSERT_EQ(value.has_value(), GetParam().megabytes.has_value()) << GetParam().text;
    if (value) {
        EXPECT_DOUBLE_EQ(*value, *GetParam().megabytes) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SizeValues,
    ::testing::Values(SizeCase{"9.5MB", 9.5}, SizeCase{"12MB", 12}, SizeCase{"105MB", 105},
                      SizeCase{"0MB", 0}, SizeCase{"0.01MB", 0.01}, SizeCase{"4.76MB", 4.76},
                      // The locale's separator, whatever it is.
                      SizeCase{"4,76MB", 4.76}, SizeCase{"2\u066B5MB", 2.5},
                      SizeCase{"", std::nullopt}, SizeCase{"MB", std::nullopt},
                      SizeCase{"12", std::nullopt}, SizeCase{"x12MB", std::nullopt},
                      SizeCase{"12.MB", std::nullopt}, SizeCase{"1.2.3MB", std::nullopt}));

TEST(SizeValues, OrderAsNumbersWhereTextOrderDiffers) {
    // As text: 105MB < 12MB < 2.5MB < 9.5MB.
    EXPECT_LT(*browser::SizeTextValue("2.5MB"), *browser::SizeTextValue("9.5MB"));
    EXPECT_LT(*browser::SizeTextValue("9.5MB"), *browser::SizeTextValue("12MB"));
    EXPECT_LT(*browser::SizeTextValue("12MB"), *browser::SizeTextValue("105MB"));
}

} // namespace
