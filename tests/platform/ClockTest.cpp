#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

// The log's keys depend on this: one key per second, different seconds never sharing one.
TEST(Clock, FormatsToTheSecond) {
    const auto when = std::chrono::system_clock::from_time_t(1'700'000'000);
    const auto text = platform::FormatLocalDateTime(when);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(platform::FormatLocalDateTime(when + std::chrono::milliseconds(900)), text);
    EXPECT_NE(platform::FormatLocalDateTime(when + std::chrono::seconds(1)), text);
    EXPECT_NE(text.find(' '), std::string::npos);
}

} // namespace
