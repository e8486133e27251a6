#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An INI text held line by line, read and changed with the rules of the system's private-profile
// calls, so that the POSIX back end behaves like the Windows one:
// - "[name]" opens a section (blanks around the name ignored); a line whose first non-blank
//   character is ';' is a comment; any other line with '=' is "key=value". Lines before the first
//   section and lines without '=' hold no key.
// - Section and key names compare without regard to ASCII letter case; the first matching
//   section and, in it, the first matching key count.
// - A value is read with its surrounding blanks removed, and one pair of matching quotes (single
//   or double) around it is dropped.
// - Set replaces the value of an existing key in its line; a new key goes after the section's
//   last key (or right after its header); a missing section is added at the end of the text.
//   Every other line stays byte for byte.
// - Lines end in LF or CRLF. New lines use the ending of the text's first line, LF for an empty
//   text or one without any line ending.
// - A UTF-8 byte order mark at the start is kept and ignored.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view text);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // False, with nothing changed, for what a line cannot hold and read back the same: an empty
    // or blank section or key, a line break anywhere, ']' in the section or '=' in the key.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

    // What one line (without its ending, and without a byte order mark) holds under the rules
    // above, for readers that see only part of a text, such as the end of a long file.
    enum class Kind { Other, Section, Entry };
    struct Parsed {
        Kind kind = Kind::Other;
        std::string_view name;      // section or key name, trimmed
        std::size_t valueStart = 0; // Entry: where the value begins in the line
    };
    static Parsed ParseLine(std::string_view line);
    // Section and key names compared as the rules above compare them.
    static bool SameName(std::string_view a, std::string_view b);

private:
    struct Line {
        std::string body; // without the line ending
        std::string end;  // "\n", "\r\n" or "" for an unterminated last line
    };

    Parsed Parse(std::size_t index) const;
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::string NewLineEnding() const;
    void Insert(std::size_t index, std::string body);

    std::vector<Line> lines_;
};

} // namespace platform
