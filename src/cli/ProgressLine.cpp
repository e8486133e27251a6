#include "cli/ProgressLine.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace cli {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Wide and fullwidth characters, as terminals draw them.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F5},   {0x26FA, 0x26FD},
    {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},   {0x274C, 0x274C},
    {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},
    {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},
    {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF},
    {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Combining marks and format characters, drawn on the character before or not at all.
constexpr Range kZero[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064}, {0x2066, 0x206F}, {0x20D0, 0x20FF},
    {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// The ranges are sorted and do not overlap.
template <std::size_t N> bool In(const Range (&ranges)[N], char32_t c) {
    const auto* after =
        std::upper_bound(std::begin(ranges), std::end(ranges), c,
                         [](char32_t value, const Range& r) { return value < r.first; });
    return after != std::begin(ranges) && c <= std::prev(after)->last;
}

// The next character of text from `at`: its code and its length in bytes (1 for a stray byte).
std::pair<char32_t, std::size_t> Next(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0x80 || lead < 0xC2 || lead > 0xF4 || at + length > text.size())
        return {lead, 1};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80)
            return {lead, 1};
        code = (code << 6) | (byte & 0x3F);
    }
    return {code, length};
}

std::size_t Columns(char32_t c) {
    if (c < 0x300)
        return c < 0x20 || (c >= 0x7F && c < 0xA0) ? 0 : 1;
    if (In(kZero, c))
        return 0;
    return In(kWide, c) ? 2 : 1;
}

} // namespace

std::size_t DisplayColumns(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto [code, length] = Next(text, at);
        columns += Columns(code);
        at += length;
    }
    return columns;
}

std::string CutToColumns(std::string_view text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto [code, length] = Next(text, at);
        const std::size_t width = Columns(code);
        if (used + width > columns)
            break;
        used += width;
        at += length;
    }
    return std::string(text.substr(0, at));
}

std::string FitProgressLine(std::string_view status, const std::vector<std::string>& facts,
                            std::size_t columns) {
    std::size_t kept = facts.size();
    auto factsText = [&] {
        std::string text;
        for (std::size_t i = 0; i < kept; ++i)
            text += facts[i];
        return text;
    };
    std::string tail = factsText();
    // The status keeps at least a few columns of its own before a fact gives way.
    constexpr std::size_t kLeastStatus = 12;
    const std::size_t least = std::min(kLeastStatus, DisplayColumns(status));
    while (kept > 0 && DisplayColumns(tail) + least > columns) {
        --kept;
        tail = factsText();
    }
    const std::size_t tailColumns = DisplayColumns(tail);
    const std::size_t room = columns > tailColumns ? columns - tailColumns : 0;
    return CutToColumns(CutToColumns(status, room) + tail, columns);
}

} // namespace cli
