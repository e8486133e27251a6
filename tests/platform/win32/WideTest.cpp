// The UTF-8 / UTF-16 boundary of the Windows back end. Wine does not enforce the classic path
// limit, so the long-path prefix is checked here as text.

#include "platform/win32/Wide.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::win32::ToUtf8;
using platform::win32::ToWide;
using platform::win32::ToWidePath;

TEST(Wide, RoundTripsEveryPlane) {
    const std::string text = "Bj\xC3\xB6rk \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5";
    const std::wstring wide = ToWide(text);
    EXPECT_EQ(wide, L"Bj\u00F6rk \u65E5\u672C \U0001F3B5");
    EXPECT_EQ(ToUtf8(wide), text);
    EXPECT_EQ(ToWide(""), L"");
}

TEST(Wide, IllFormedTextBecomesReplacementCharacters) {
    EXPECT_EQ(ToWide("a\xFF"
                     "b"),
              L"a\uFFFD"
              L"b");
    EXPECT_EQ(ToUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "a\xEF\xBF\xBD"
                                                                   "b");
}

TEST(WidePath, SeparatorsAndBareDrives) {
    EXPECT_EQ(ToWidePath("C:/Music/a.mp3"), L"C:\\Music\\a.mp3");
    EXPECT_EQ(ToWidePath("e:"), L"e:\\");
    EXPECT_EQ(ToWidePath("e:iPod_Control"), L"e:iPod_Control"); // relative to e:'s folder
    EXPECT_EQ(ToWidePath("relative/x"), L"relative\\x");
}

TEST(WidePath, LongAbsolutePathsGetThePrefixAndLoseDotSegments) {
    const std::string folder(300, 'a');
    EXPECT_EQ(ToWidePath("C:/" + folder + "/./b/../c.mp3"),
              L"\\\\?\\C:\\" + std::wstring(300, L'a') + L"\\c.mp3");
    EXPECT_EQ(ToWidePath("\\\\server\\share\\" + folder),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'a'));
    const std::wstring prefixed = L"\\\\?\\C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(ToWidePath(ToUtf8(prefixed)), prefixed); // already in that form
    EXPECT_EQ(ToWidePath("C:/short"), L"C:\\short");   // short paths stay as they are
}

} // namespace
