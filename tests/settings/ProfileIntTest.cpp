#include "core/settings/ProfileInt.h"

#include <gtest/gtest.h>

namespace {

using settings::StrToIntDef;

TEST(StrToIntDef, Decimal) {
    EXPECT_EQ(StrToIntDef("200", 80), 200);
    EXPECT_EQ(StrToIntDef("-7", 80), -7);
    EXPECT_EQ(StrToIntDef("+7", 80), 7);
    EXPECT_EQ(StrToIntDef("0", 80), 0);
    EXPECT_EQ(StrToIntDef("-2147483648", 80), INT32_MIN);
}

TEST(StrToIntDef, HexAfterPrefix) {
    EXPECT_EQ(StrToIntDef("0x40", 80), 64);
    EXPECT_EQ(StrToIntDef("0XfF", 80), 255);
    EXPECT_EQ(StrToIntDef("0xFFFFFFFF", 80), -1);
}

TEST(StrToIntDef, AnythingElseGivesTheDefault) {
    for (const char* bad : {"", " 5", "5 ", "12px", "0x", "0x-1", "0x1G", "0x100000000",
                            "2147483648", "+", "-", "+-1", "1.5"})
        EXPECT_EQ(StrToIntDef(bad, 80), 80) << '"' << bad << '"';
}

} // namespace
