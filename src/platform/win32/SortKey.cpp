#include "platform/Text.h"

#include <windows.h>

#include <string>

namespace platform {

std::string SortKey(std::string_view text) {
    // The same rules as CompareText: the user's locale, letter case ignored.
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int bytes = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.c_str(), units, nullptr,
                                    0, nullptr, nullptr, 0);
    if (bytes <= 0)
        return std::string(text);
    std::string key(static_cast<std::size_t>(bytes), '\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.c_str(), units,
                  reinterpret_cast<LPWSTR>(key.data()), bytes, nullptr, nullptr, 0);
    key.resize(static_cast<std::size_t>(bytes - 1)); // the key ends in a zero byte
    return key;
}

} // namespace platform
