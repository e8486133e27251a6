#include "platform/Clock.h"

#include <array>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace platform {
namespace {

// The user's time formats when their locale yields UTF-8, else the C locale's: the key must stay
// valid UTF-8 like every other text of the program.
locale_t TimeLocale() {
    static const locale_t locale = [] {
        if (locale_t user = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", locale_t{})) {
            if (std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0)
                return user;
            freelocale(user);
        }
        return newlocale(LC_TIME_MASK, "C", locale_t{});
    }();
    return locale;
}

} // namespace

std::string FormatLocalDateTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return {};
    std::array<char, 256> buffer{};
    std::size_t length = 0;
    if (const locale_t locale = TimeLocale())
        length = strftime_l(buffer.data(), buffer.size(), "%x %X", &local, locale);
    if (length == 0)
        length = std::strftime(buffer.data(), buffer.size(), "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer.data(), length);
}

} // namespace platform
