#include "core/device/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string FromUtf16(const std::vector<std::uint16_t>& units, bool oddByte = false) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    if (oddByte)
        bytes.push_back(0x41);
    std::string out;
    device::AppendUtf16LeAsUtf8(bytes, out);
    return out;
}

std::string FromUtf8(const std::string& bytes) {
    std::string out;
    device::AppendValidUtf8(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), out);
    return out;
}

} // namespace

TEST(Utf16Conversion, ConvertsEveryPlane) {
    EXPECT_EQ(FromUtf16({'M', 0x00F6, 't'}), "M\u00F6t");
    EXPECT_EQ(FromUtf16({0x5742, 0x672C}), "\u5742\u672C");
    EXPECT_EQ(FromUtf16({0xD83C, 0xDFB5}), "\U0001F3B5"); // a surrogate pair
}

TEST(Utf16Conversion, ReplacesUnpairedSurrogates) {
    EXPECT_EQ(FromUtf16({'a', 0xD83C, 'b'}), "a\uFFFDb");
    EXPECT_EQ(FromUtf16({'a', 0xDFB5}), "a\uFFFD");
    EXPECT_EQ(FromUtf16({0xD83C}), "\uFFFD");
    EXPECT_EQ(FromUtf16({0xDFB5, 0xD83C}), "\uFFFD\uFFFD"); // reversed pair
}

TEST(Utf16Conversion, DropsAnOddLastByte) {
    EXPECT_EQ(FromUtf16({'o', 'k'}, true), "ok");
    EXPECT_EQ(FromUtf16({}, true), "");
}

TEST(Utf8Validation, KeepsWellFormedText) {
    EXPECT_EQ(FromUtf8("Bj\xC3\xB6rk \xE5\x9D\x82 \xF0\x9F\x8E\xB5"),
              "Bj\u00F6rk \u5742 \U0001F3B5");
}

TEST(Utf8Validation, ReplacesIllFormedSequences) {
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              "a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xC0\xAF"), "\uFFFD\uFFFD");                     // overlong "/"
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");           // encoded surrogate
    EXPECT_EQ(FromUtf8("\xE5\x9D"), "\uFFFD\uFFFD");                     // cut short
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), "\uFFFD\uFFFD\uFFFD\uFFFD"); // past U+10FFFF
}
