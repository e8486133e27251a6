#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The columns a UTF-8 text takes on a terminal: wide (East Asian) characters take two,
// combining marks and other zero-width ones none, the rest one. Bytes that are not UTF-8 take
// one each.
std::size_t DisplayColumns(std::string_view text);

// The longest start of text that takes at most `columns` columns, never cut inside a character.
std::string CutToColumns(std::string_view text, std::size_t columns);

// One line of progress that fits `columns` columns: the status, cut from its end (the name
// goes first), then the facts, each dropped from the last on when even a bare status leaves
// no room for them.
std::string FitProgressLine(std::string_view status, const std::vector<std::string>& facts,
                            std::size_t columns);

} // namespace cli
