#include "core/copy/ReportText.h"

#include "core/copy/TargetNames.h"
#include "platform/Paths.h"

namespace copy {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == platform::kPathSeparator;
}

} // namespace

std::string ReportPathText(const TEntryResult& result) {
    if (result.outcome != TCopyOutcome::Copied && result.outcome != TCopyOutcome::Numbered)
        return OutcomeText(result);
    const std::string_view entry = result.path;
    std::string shown;
    shown.reserve(entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const bool doubled = i > 1 && IsSeparator(entry[i]) && IsSeparator(entry[i - 1]);
        if (!doubled)
            shown.push_back(entry[i]);
    }
    return shown;
}

std::optional<std::string> FolderToOpen(const std::vector<TEntryResult>& entries) {
    for (const TEntryResult& entry : entries) {
        if (!HasCopy(entry.outcome))
            continue;
        std::string folder = TargetFolderFromDialogPath(entry.path);
        if (!folder.empty())
            return folder;
    }
    return std::nullopt;
}

std::string NoticeText(std::string reason) {
    if (!reason.empty() && reason.front() >= 'a' && reason.front() <= 'z')
        reason.front() = static_cast<char>(reason.front() - 'a' + 'A');
    if (!reason.empty() && reason.back() != '.')
        reason.push_back('.');
    return reason;
}

} // namespace copy
