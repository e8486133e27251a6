#include "platform/Text.h"

#include "platform/AsciiCase.h"
#include "platform/win32/Wide.h"

#include <windows.h>

#include <climits>

namespace platform {
namespace {

using win32::ToUtf8;
using win32::ToWide;

int Length(const std::wstring& text) {
    return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

} // namespace

int CompareText(std::string_view a, std::string_view b) {
    // Per thread: the copy worker may compare while the window sorts.
    thread_local std::wstring wideA, wideB;
    wideA = ToWide(a);
    wideB = ToWide(b);
    // NORM_IGNORECASE alone: letter case is ignored, accents and widths are not.
    const int result =
        CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wideA.data(), Length(wideA),
                        wideB.data(), Length(wideB), nullptr, nullptr, 0);
    if (result == 0)
        return a.compare(b);
    return result - CSTR_EQUAL;
}

std::string ToLowerCase(std::string_view text) {
    const std::wstring wide = ToWide(text);
    if (wide.empty())
        return {};
    // The invariant locale: a volume label folds the same for every user (no Turkish dotless i).
    const int needed = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(),
                                     Length(wide), nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0)
        return std::string(text);
    std::wstring lower(static_cast<std::size_t>(needed), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), Length(wide), lower.data(),
                  needed, nullptr, nullptr, 0);
    return ToUtf8(lower);
}

std::string FoldFileNameCase(std::string_view name) {
    // Most names on a player are ASCII: fold those without the conversions, to upper case as
    // the system's table does, so both ways give one form.
    std::string folded(name);
    if (FoldAsciiCase(folded, true))
        return folded;
    std::wstring wide = ToWide(name);
    // Without LCMAP_LINGUISTIC_CASING the mapping follows the file system's casing rules: one
    // code unit for one, the table CompareStringOrdinal ignores case by.
    std::wstring upper(wide.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), Length(wide),
                      upper.data(), Length(upper), nullptr, nullptr, 0) != Length(wide))
        return std::string(name);
    return ToUtf8(upper);
}

std::string DecimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1)
        return ".";
    return ToUtf8(separator);
}

} // namespace platform
