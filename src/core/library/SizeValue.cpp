#include "core/library/SizeValue.h"

namespace browser {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> SizeTextValue(std::string_view text) {
    // Digits, then the locale's separator (any non-digits) and more digits, then "MB".
    if (text.size() < 3 || text.substr(text.size() - 2) != "MB")
        return std::nullopt;
    text.remove_suffix(2);
    std::size_t i = 0;
    double value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = value * 10 + (text[i] - '0');
    if (i == 0)
        return std::nullopt;
    if (i == text.size())
        return value;
    std::size_t fraction = i;
    while (fraction < text.size() && !IsDigit(text[fraction]))
        ++fraction;
    if (fraction == text.size())
        return std::nullopt;
    double scale = 1;
    for (; fraction < text.size(); ++fraction) {
        if (!IsDigit(text[fraction]))
            return std::nullopt;
        scale /= 10;
        value += (text[fraction] - '0') * scale;
    }
    return value;
}

} // namespace browser
