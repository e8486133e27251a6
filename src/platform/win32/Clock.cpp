#include "platform/Clock.h"

#include "platform/win32/Wide.h"

#include <windows.h>

namespace platform {
namespace {

// 100-nanosecond ticks between 1601-01-01 (FILETIME) and 1970-01-01 (the system clock).
constexpr long long kUnixEpochInFileTime = 116444736000000000LL;

std::wstring Formatted(int (*format)(const SYSTEMTIME&, wchar_t*, int), const SYSTEMTIME& time) {
    wchar_t buffer[128] = {};
    const int length = format(time, buffer, 128);
    return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : L"";
}

int ShortDate(const SYSTEMTIME& time, wchar_t* buffer, int size) {
    return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size,
                           nullptr);
}

int LongTime(const SYSTEMTIME& time, wchar_t* buffer, int size) {
    return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, buffer, size);
}

} // namespace

std::string FormatLocalDateTime(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(when.time_since_epoch());
    // Whole seconds only: the key must not change within one second.
    const long long ticks = seconds.count() * 10'000'000LL + kUnixEpochInFileTime;
    FILETIME utcFile{};
    utcFile.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    utcFile.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) >> 32);
    SYSTEMTIME utc{}, local{};
    // The time zone rules of that date, not of today (summer time).
    if (!FileTimeToSystemTime(&utcFile, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return {};
    return win32::ToUtf8(Formatted(ShortDate, local) + L" " + Formatted(LongTime, local));
}

} // namespace platform
