#include "core/settings/ProfileInt.h"

#include "platform/Profile.h"

#include <charconv>
#include <cstdint>

namespace settings {

int StrToIntDef(std::string_view text, int def) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto digits = text.substr(2);
        std::uint32_t bits = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        if (error != std::errc() || end != digits.data() + digits.size())
            return def;
        return static_cast<int>(bits);
    }

    // from_chars takes '-' but not '+'.
    if (text.starts_with('+') && text.size() > 1 && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return def;
    return value;
}

int ReadProfileInt(const std::string& file, std::string_view section, std::string_view key,
                   int def) {
    const auto text = platform::ReadProfileString(file, section, key);
    return text ? StrToIntDef(*text, def) : def;
}

platform::Status WriteProfileInt(const std::string& file, std::string_view section,
                                 std::string_view key, int value) {
    return platform::WriteProfileString(file, section, key, std::to_string(value));
}

} // namespace settings
