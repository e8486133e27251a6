#include "core/device/TextCodec.h"

#include <algorithm>

namespace device {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Writes cp at out; the end of what was written.
char* PutCodePoint(char32_t cp, char* out) {
    if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    return out;
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Length of the well-formed UTF-8 sequence at the start of s, or 0 when it is ill-formed.
std::size_t WellFormedLength(std::span<const std::uint8_t> s) {
    const std::uint8_t b0 = s[0];
    if (b0 < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0; // overlong
        if (b0 == 0xED)
            high = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90; // overlong
        if (b0 == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length)
        return 0;
    if (s[1] < low || s[1] > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF)
            return 0;
    return length;
}

} // namespace

void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) -> char32_t {
        return static_cast<char32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    };
    // Converted a stretch at a time into a buffer on the stack, appended with one call: a
    // library's texts are millions of characters.
    constexpr std::size_t kStretch = 256;
    char buffer[kStretch * 3 + 4];
    std::size_t i = 0;
    while (i < units) {
        char* at = buffer;
        for (const std::size_t stop = std::min(units, i + kStretch); i < stop; ++i) {
            char32_t cp = unitAt(i);
            if (cp < 0x80) {
                *at++ = static_cast<char>(cp);
                continue;
            }
            if (IsHighSurrogate(cp) && i + 1 < units && IsLowSurrogate(unitAt(i + 1)))
                cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(++i) - 0xDC00);
            else if (IsHighSurrogate(cp) || IsLowSurrogate(cp))
                cp = kReplacement;
            at = PutCodePoint(cp, at);
        }
        out.append(buffer, static_cast<std::size_t>(at - buffer));
    }
}

void AppendValidUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
    out.reserve(out.size() + bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        // ASCII, most of any text, goes over in runs.
        std::size_t run = i;
        while (run < bytes.size() && bytes[run] < 0x80)
            ++run;
        out.append(reinterpret_cast<const char*>(bytes.data() + i), run - i);
        i = run;
        if (i == bytes.size())
            break;
        const std::size_t length = WellFormedLength(bytes.subspan(i));
        if (length == 0) {
            AppendCodePoint(kReplacement, out);
            ++i;
            continue;
        }
        out.append(reinterpret_cast<const char*>(bytes.data() + i), length);
        i += length;
    }
}

} // namespace device
