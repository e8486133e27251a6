#include "platform/IniFile.h"

#include <algorithm>
#include <utility>

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

} // namespace

IniFile::IniFile(std::string_view text) {
    while (!text.empty()) {
        const auto newline = text.find('\n');
        if (newline == text.npos) {
            lines_.push_back({std::string(text), ""});
            break;
        }
        std::string_view body = text.substr(0, newline);
        const bool crlf = !body.empty() && body.back() == '\r';
        if (crlf)
            body.remove_suffix(1);
        lines_.push_back({std::string(body), crlf ? "\r\n" : "\n"});
        text.remove_prefix(newline + 1);
    }
}

IniFile::Parsed IniFile::ParseLine(std::string_view body) {
    std::size_t start = 0;
    while (start < body.size() && IsBlank(body[start]))
        ++start;
    if (start == body.size() || body[start] == ';')
        return {};

    if (body[start] == '[') {
        const auto close = body.find(']', start + 1);
        const auto end = close == body.npos ? body.size() : close;
        return {Kind::Section, Trim(body.substr(start + 1, end - start - 1)), 0};
    }

    const auto equals = body.find('=', start);
    if (equals == body.npos)
        return {};
    const auto name = Trim(body.substr(start, equals - start));
    if (name.empty())
        return {};
    auto valueStart = equals + 1;
    while (valueStart < body.size() && IsBlank(body[valueStart]))
        ++valueStart;
    return {Kind::Entry, name, valueStart};
}

bool IniFile::SameName(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}

IniFile::Parsed IniFile::Parse(std::size_t index) const {
    const std::string_view body = lines_[index].body;
    if (index != 0 || !body.starts_with(kByteOrderMark))
        return ParseLine(body);
    auto parsed = ParseLine(body.substr(kByteOrderMark.size()));
    parsed.valueStart += kByteOrderMark.size();
    return parsed;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto parsed = Parse(i);
        if (parsed.kind == Kind::Section && EqualsIgnoringAsciiCase(parsed.name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && Parse(i).kind != Kind::Section)
        ++i;
    return i;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    const auto header = FindSection(section);
    if (!header)
        return std::nullopt;
    const auto end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const auto parsed = Parse(i);
        if (parsed.kind != Kind::Entry || !EqualsIgnoringAsciiCase(parsed.name, key))
            continue;
        auto value = Trim(std::string_view(lines_[i].body).substr(parsed.valueStart));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || section.find(']') != section.npos || key.find('=') != key.npos ||
        key.front() == '[' || key.front() == ';')
        return false;

    const std::string entry = std::string(key) + "=" + std::string(value);
    const auto header = FindSection(section);
    if (!header) {
        // Appended piece by piece: GCC 12 at -O3 misreads `"[" + std::string(...)` as an
        // overlapping copy (-Wrestrict).
        std::string line;
        line.reserve(section.size() + 2);
        line.append("[").append(section).append("]");
        Insert(lines_.size(), std::move(line));
        Insert(lines_.size(), entry);
        return true;
    }

    const auto end = SectionEnd(*header);
    std::size_t lastEntry = *header;
    for (std::size_t i = *header + 1; i < end; ++i) {
        const auto parsed = Parse(i);
        if (parsed.kind != Kind::Entry)
            continue;
        if (EqualsIgnoringAsciiCase(parsed.name, key)) {
            auto& body = lines_[i].body;
            body.resize(parsed.valueStart);
            body.append(value);
            return true;
        }
        lastEntry = i;
    }
    Insert(lastEntry + 1, entry);
    return true;
}

std::string IniFile::NewLineEnding() const {
    if (lines_.empty() || lines_.front().end.empty())
        return "\n";
    return lines_.front().end;
}

void IniFile::Insert(std::size_t index, std::string body) {
    const auto ending = NewLineEnding();
    // Only the last line can lack an ending; a line after it needs one.
    if (index == lines_.size() && !lines_.empty() && lines_.back().end.empty())
        lines_.back().end = ending;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), {std::move(body), ending});
}

std::string IniFile::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line.body;
        text += line.end;
    }
    return text;
}

} // namespace platform
