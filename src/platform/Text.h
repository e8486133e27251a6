#pragma once

#include <string>
#include <string_view>

namespace platform {

// Case-insensitive, accent-sensitive comparison of two UTF-8 texts under the user's locale:
// negative, zero or positive. Sorting with it follows the locale, not code values.
int CompareText(std::string_view a, std::string_view b);

// A key whose byte order (memcmp) is the order of CompareText: equal keys for texts that
// compare equal. Cheaper than comparing texts when one text takes part in many comparisons.
std::string SortKey(std::string_view text);

// Lower case by the system's file-name case rules (for volume labels).
std::string ToLowerCase(std::string_view text);

// A file name with letter case folded as the platform folds it: two names are one name, case
// aside, when their folded forms are equal. Linux: ICU full case folding (ß and ss meet).
// Windows: the system's upper-case table, as its ordinal case-insensitive comparison uses it.
// Bytes that are not UTF-8 stay as they are.
std::string FoldFileNameCase(std::string_view name);

// The user's locale decimal separator (UTF-8; "." when the locale gives none).
std::string DecimalSeparator();

} // namespace platform
