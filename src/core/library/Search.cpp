#include "core/library/Search.h"

namespace browser {

bool SearchFunc(std::string_view searchText, std::string_view field) {
    std::string_view rest = searchText;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(' ');
        // Blanks only: one empty word, which no field contains.
        const std::string_view word =
            start == std::string_view::npos ? std::string_view() : rest.substr(start);
        const std::size_t end = word.find(' ');
        const std::string_view current = word.substr(0, end);
        if (current.empty() || field.find(current) == std::string_view::npos)
            return false;
        if (end == std::string_view::npos)
            break;
        rest = word.substr(end + 1);
        if (rest.find_first_not_of(' ') == std::string_view::npos)
            break; // trailing blanks make no word
    }
    return true;
}

bool SearchTextAccepted(std::string_view searchText) {
    return searchText.find_first_not_of(' ') != std::string_view::npos;
}

} // namespace browser
