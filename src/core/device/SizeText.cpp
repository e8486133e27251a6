#include "core/device/SizeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace device {

std::string FormatSizeText(std::uint64_t bytes, std::string_view decimalSeparator) {
    const double megabytes = static_cast<double>(bytes) / 1024.0 / 1024.0;

    // 15 significant digits in plain notation: as many decimals as the integer part leaves.
    int decimals = 0;
    if (megabytes > 0.0)
        decimals = std::max(0, 14 - static_cast<int>(std::floor(std::log10(megabytes))));

    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), megabytes,
                                            std::chars_format::fixed, decimals);
    std::string text = error == std::errc() ? std::string(buffer.data(), end) : std::string("0");

    const auto point = text.find('.');
    if (point != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    // Cut, never round: what remains two characters after the separator.
    const auto kept = text.find('.');
    if (kept != std::string::npos && text.size() > kept + 3)
        text.resize(kept + 3);
    if (kept != std::string::npos)
        text.replace(kept, 1, decimalSeparator);
    text += "MB";
    return text;
}

} // namespace device
