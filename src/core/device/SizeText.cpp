#include "core/device/SizeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace device {

namespace {

// Below this (512 GiB) the fifteen significant digits keep at least nine decimals, and no
// fraction n / 2^20 lies within 10^-9 of a hundredth it does not equal: the digits shown
// follow from whole numbers alone, without a trip through a double.
constexpr std::uint64_t kExactBelow = std::uint64_t{1} << 39;

void AppendWhole(std::uint64_t value, std::string& out) {
    std::array<char, 24> digits;
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    out.append(digits.data(), end);
}

} // namespace

void AppendSizeText(std::uint64_t bytes, std::string_view decimalSeparator, std::string& out) {
    if (bytes >= kExactBelow) {
        out += FormatSizeText(bytes, decimalSeparator);
        return;
    }
    constexpr std::uint64_t kMask = (std::uint64_t{1} << 20) - 1;
    AppendWhole(bytes >> 20, out);
    const std::uint64_t fraction = (bytes & kMask) * 100;
    if (fraction != 0) {
        const auto hundredths = static_cast<unsigned>(fraction >> 20);
        out += decimalSeparator;
        out.push_back(static_cast<char>('0' + hundredths / 10));
        // A second digit unless the fraction ends at the first: 1.5, but 1.50 for 1.5000001.
        if ((fraction & kMask) != 0 || hundredths % 10 != 0)
            out.push_back(static_cast<char>('0' + hundredths % 10));
    }
    out += "MB";
}

std::string FormatSizeText(std::uint64_t bytes, std::string_view decimalSeparator) {
    if (bytes < kExactBelow) {
        std::string text;
        AppendSizeText(bytes, decimalSeparator, text);
        return text;
    }
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
