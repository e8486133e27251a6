#pragma once

#include "core/copy/CopyJob.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace copy {

// An entry as the report shows it: its outcome's text, in which a doubled separator of a copy's
// path (a target folder at the root of a drive gives "E:\\Song.mp3") is shown as one. A
// network path keeps its leading pair.
std::string ReportPathText(const TEntryResult& entry);

// The folder that Open Directory shows: that of the first entry with a copy; nothing when no
// entry has one.
std::optional<std::string> FolderToOpen(const std::vector<TEntryResult>& entries);

// A reason as a message box shows it: a sentence of its own, capitalised and ending with a stop.
std::string NoticeText(std::string reason);

} // namespace copy
