#pragma once

#include <string>

namespace platform {

// Folds an ASCII text to one letter case in place: the fast path of the back ends' case
// folding. False when the text holds a byte beyond ASCII; the text is then left unchanged.
inline bool FoldAsciiCase(std::string& text, bool toUpper) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    const char from = toUpper ? 'a' : 'A';
    for (char& c : text)
        if (c >= from && c <= from + 25)
            c = static_cast<char>(c - from + (toUpper ? 'A' : 'a'));
    return true;
}

} // namespace platform
