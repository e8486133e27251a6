#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace copy {

// Whether an entry of a finished job's target list says why there is no copy (the texts all
// begin with a blank) rather than naming the copy.
bool IsOutcomeText(std::string_view entry);

// An entry as the report shows it: a doubled separator (a target folder at the root of a drive
// gives "E:\\Song.mp3") shown as one. A network path keeps its leading pair.
std::string ReportPathText(std::string_view entry);

// The folder that Open Directory shows: that of the first entry that names a copy; nothing when
// no entry does.
std::optional<std::string> FolderToOpen(const std::vector<std::string>& entries);

// A reason as a message box shows it: a sentence of its own, capitalised and ending with a stop.
std::string NoticeText(std::string reason);

} // namespace copy
