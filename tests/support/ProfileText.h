#pragma once

#include <string>

namespace testsupport {

#ifdef _WIN32

// A profile file's text made comparable with what a test expects. The system's profile calls
// may rewrite the whole file in their own way (Wine's: CRLF line endings, blank lines dropped):
// only the non-blank lines, without CR, are compared.
inline std::string ProfileLines(const std::string& text) {
    std::string lines;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty())
            lines += line + '\n';
        line.clear();
    }
    return lines + line;
}

#else

// The portable INI engine keeps every line as it was: the text is compared as it is.
inline std::string ProfileLines(const std::string& text) {
    return text;
}

#endif

} // namespace testsupport
