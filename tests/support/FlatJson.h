#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

// Parses one JSON object whose values are strings or integers (the shape of a track line) into
// key -> value, numbers kept as their decimal text. Nothing on any other shape.
inline std::optional<std::map<std::string, std::string>> ParseFlatJson(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
            ++i;
    };
    auto appendUtf8 = [](std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    };
    auto hex4 = [&](std::uint32_t& value) {
        if (i + 4 > text.size())
            return false;
        value = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i++];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return false;
        }
        return true;
    };
    auto parseString = [&](std::string& out) {
        if (i >= text.size() || text[i] != '"')
            return false;
        ++i;
        while (i < text.size() && text[i] != '"') {
            if (text[i] != '\\') {
                out += text[i++];
                continue;
            }
            if (++i >= text.size())
                return false;
            const char e = text[i++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                std::uint32_t cp = 0;
                if (!hex4(cp))
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i] == '\\' &&
                    text[i + 1] == 'u') {
                    i += 2;
                    std::uint32_t low = 0;
                    if (!hex4(low))
                        return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                out += e;
            }
        }
        if (i >= text.size())
            return false;
        ++i;
        return true;
    };

    std::map<std::string, std::string> object;
    skipBlanks();
    if (i >= text.size() || text[i++] != '{')
        return std::nullopt;
    for (;;) {
        skipBlanks();
        std::string key;
        if (!parseString(key))
            return std::nullopt;
        skipBlanks();
        if (i >= text.size() || text[i++] != ':')
            return std::nullopt;
        skipBlanks();
        std::string value;
        if (i < text.size() && text[i] == '"') {
            if (!parseString(value))
                return std::nullopt;
        } else {
            while (i < text.size() && (text[i] == '-' || (text[i] >= '0' && text[i] <= '9')))
                value += text[i++];
            if (value.empty())
                return std::nullopt;
        }
        object[key] = value;
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        if (i < text.size() && text[i] == '}')
            return object;
        return std::nullopt;
    }
}

} // namespace testsupport
