#include "core/copy/ReportText.h"

#include "core/copy/CopyThread.h"
#include "core/copy/TargetNames.h"
#include "platform/Paths.h"

namespace copy {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == platform::kPathSeparator;
}

} // namespace

bool IsOutcomeText(std::string_view entry) {
    return entry == kCopyTerminated || entry == kDiskspaceNotEnough || entry == kSourceNotFound ||
           entry.starts_with(kCopyFailed);
}

std::string ReportPathText(std::string_view entry) {
    if (IsOutcomeText(entry))
        return std::string(entry);
    std::string shown;
    shown.reserve(entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const bool doubled = i > 1 && IsSeparator(entry[i]) && IsSeparator(entry[i - 1]);
        if (!doubled)
            shown.push_back(entry[i]);
    }
    return shown;
}

std::optional<std::string> FolderToOpen(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (IsOutcomeText(entry))
            continue;
        std::string folder = TargetFolderFromDialogPath(entry);
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
