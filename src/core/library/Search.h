#pragma once

#include <string_view>

namespace browser {

// True when the field contains every blank-separated word of the search text, each as an exact,
// case-sensitive substring. A text without words matches everything; an empty word (a text of
// blanks only) matches nothing.
bool SearchFunc(std::string_view searchText, std::string_view field);

// Whether Enter in the search box starts a search with this text: an empty text, or one made of
// blanks only, does not.
bool SearchTextAccepted(std::string_view searchText);

} // namespace browser
