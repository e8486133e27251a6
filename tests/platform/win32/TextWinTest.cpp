// Text rules of the Windows back end under the user's locale, through the system's own calls.

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// UTF-8 spellings used below.
constexpr char kEdithAccent[] = "\xC3\x89"
                                "dith"; // Édith
constexpr char kedithAccent[] = "\xC3\xA9"
                                "dith";            // édith
constexpr char kBjork[] = "Bj\xC3\xB6rk";          // Björk
constexpr char kBJORK[] = "BJ\xC3\x96RK";          // BJÖRK
constexpr char kResume[] = "r\xC3\xA9sum\xC3\xA9"; // résumé

TEST(WindowsText, TheManifestMakesUtf8TheCodePage) {
    // Narrow text the C runtime or a library hands to the system is then read as UTF-8 too.
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}

TEST(WindowsText, ComparisonIgnoresCaseButNotAccents) {
    EXPECT_EQ(platform::CompareText("abba", "ABBA"), 0);
    EXPECT_EQ(platform::CompareText(kBjork, kBJORK), 0);
    EXPECT_EQ(platform::CompareText(kEdithAccent, kedithAccent), 0);
    EXPECT_NE(platform::CompareText("Edith", kEdithAccent), 0);
    EXPECT_NE(platform::CompareText("resume", kResume), 0);
    EXPECT_NE(platform::CompareText("Bjork", kBjork), 0);
}

TEST(WindowsText, ComparisonIsAnOrderAndAntisymmetric) {
    EXPECT_LT(platform::CompareText("a", "B"), 0); // code values would put B first
    EXPECT_GT(platform::CompareText("B", "a"), 0);
    EXPECT_LT(platform::CompareText("Edith", "edith piaf"), 0);
}

TEST(WindowsText, SortingFollowsTheLocaleNotCodeValues) {
    std::vector<std::string> names{"Zappa", kEdithAccent, "eagles", "Fleetwood Mac", "Edith"};
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::CompareText(a, b) < 0;
    });
    // É sorts with E, before F, where its code value (0xC3...) would put it after Z.
    EXPECT_EQ(names, (std::vector<std::string>{"eagles", "Edith", kEdithAccent, "Fleetwood Mac",
                                               "Zappa"}));
}

TEST(WindowsText, SortKeysOrderLikeTheComparison) {
    const std::vector<std::string> names{"Zappa", kEdithAccent, "eagles", "Fleetwood Mac",
                                         "Edith", kedithAccent, "ZAPPA"};
    for (const auto& a : names)
        for (const auto& b : names) {
            const int byText = platform::CompareText(a, b);
            const int byKey = platform::SortKey(a).compare(platform::SortKey(b));
            EXPECT_EQ(byText < 0, byKey < 0) << a << " / " << b;
            EXPECT_EQ(byText == 0, byKey == 0) << a << " / " << b;
        }
}

TEST(WindowsText, LowerCaseFoldsLettersBeyondAscii) {
    EXPECT_EQ(platform::ToLowerCase("IPOD"), "ipod");
    EXPECT_EQ(platform::ToLowerCase(kBJORK), "bj\xC3\xB6rk");
    EXPECT_EQ(platform::ToLowerCase("MY \xC3\x89T\xC3\x89 1"), "my \xC3\xA9t\xC3\xA9 1");
    EXPECT_EQ(platform::ToLowerCase(""), "");
}

// File names meet, case aside, exactly when the system's ordinal comparison ignoring case
// calls them equal: every letter of the first 12,000 code points against its upper and lower
// case partners (found by other calls), and the letters whose folding is not one to one.
TEST(WindowsText, FileNameCaseFoldsAsTheOrdinalComparisonIgnoresCase) {
    const auto utf8 = [](const std::wstring& wide) {
        std::string text(static_cast<std::size_t>(wide.size() * 3), '\0');
        text.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                static_cast<int>(text.size()), nullptr, nullptr)));
        return text;
    };
    std::vector<std::pair<std::wstring, std::wstring>> pairs{
        {L"\u00DF", L"SS"},     {L"\u0131", L"I"},      {L"\u0130", L"i"},
        {L"\u017F", L"S"},      {L"\u212A", L"k"},      {L"\u212A", L"K"},
        {L"\u03C2", L"\u03A3"}, {L"\u01C5", L"\u01C4"}, {L"\u00C4pfel.mp3", L"\u00E4PFEL.MP3"}};
    for (wchar_t c = 0x20; c < 0x3000; ++c) {
        wchar_t upper = c, lower = c;
        CharUpperBuffW(&upper, 1);
        CharLowerBuffW(&lower, 1);
        pairs.push_back({std::wstring(1, c), std::wstring(1, upper)});
        pairs.push_back({std::wstring(1, c) + L"x.mp3", std::wstring(1, lower) + L"X.MP3"});
    }
    int equalBeyondAscii = 0;
    for (const auto& [a, b] : pairs) {
        const bool same = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                               static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
        const bool folded =
            platform::FoldFileNameCase(utf8(a)) == platform::FoldFileNameCase(utf8(b));
        EXPECT_EQ(folded, same) << utf8(a) << " / " << utf8(b);
        if (same && a != b && a[0] >= 0x80)
            ++equalBeyondAscii;
    }
    EXPECT_GT(equalBeyondAscii, 500); // Latin, Greek, Cyrillic, Armenian, ... letters
}

TEST(WindowsText, DecimalSeparatorIsTheOneNumbersAreWrittenWith) {
    // A number formatted by the system for the user's locale carries the same separator.
    wchar_t formatted[64] = {};
    ASSERT_GT(GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"1.5", nullptr, formatted, 64), 0);
    const std::string separator = platform::DecimalSeparator();
    ASSERT_FALSE(separator.empty());
    std::wstring wide(static_cast<std::size_t>(separator.size()), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, separator.data(), static_cast<int>(separator.size()),
                            wide.data(), static_cast<int>(wide.size()))));
    EXPECT_NE(std::wstring(formatted).find(wide + L"5"), std::wstring::npos) << separator;
}

} // namespace
