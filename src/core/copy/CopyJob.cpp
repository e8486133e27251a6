#include "core/copy/CopyJob.h"

#include "core/copy/NameLayout.h"
#include "core/copy/NamePlan.h"
#include "core/copy/TargetNames.h"
#include "core/device/DevicePath.h"
#include "core/device/TiPod.h"
#include "platform/CopyFiles.h"
#include "platform/Paths.h"

#include <algorithm>
#include <map>
#include <memory>

namespace copy {
namespace {

// Only a regular file inside the player is ever opened by the worker: a track without one gets
// no source path, and its entry reads as a missing source.
std::string SourcePath(device::PlayerFiles& files, std::string_view location) {
    auto found = files.FindLocation(location);
    return found ? std::move(found->path) : std::string();
}

} // namespace

std::string TCopyRequest::PlannedPath(std::size_t entry) const {
    return JoinTargetPath(targetFolder, entries[entry].name);
}

std::size_t TCopyResult::Count(TCopyOutcome outcome) const {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(),
                      [&](const TEntryResult& e) { return e.outcome == outcome; }));
}

std::size_t TCopyResult::Copies() const {
    return static_cast<std::size_t>(std::count_if(
        entries.begin(), entries.end(), [](const TEntryResult& e) { return HasCopy(e.outcome); }));
}

std::string OutcomeText(const TEntryResult& result) {
    switch (result.outcome) {
    case TCopyOutcome::Stopped:
        return kCopyTerminated;
    case TCopyOutcome::NoRoom:
        return kDiskspaceNotEnough;
    case TCopyOutcome::SourceMissing:
        return kSourceNotFound;
    case TCopyOutcome::Failed:
        return kCopyFailed + result.reason;
    case TCopyOutcome::AlreadyCopied:
        return kAlreadyCopied;
    case TCopyOutcome::Pending:
    case TCopyOutcome::Copied:
    case TCopyOutcome::Numbered:
        break;
    }
    return result.path;
}

TCopyRequest PlanJob(const TiPod& library, const std::vector<std::int32_t>& tracks,
                     const std::string& targetFolder, bool overwrite, std::string_view layout) {
    device::PlayerFiles files(library.iPodPath);
    TCopyRequest request;
    request.targetFolder = targetFolder;
    request.playerRoot = library.iPodPath;
    request.overwrite = overwrite;
    request.entries.reserve(tracks.size());
    for (std::int32_t track : tracks) {
        request.entries.push_back({std::string(library.Field(track, SongField::Title)),
                                   SourcePath(files, library.Field(track, SongField::Location)),
                                   LayoutPath(layout, library, track), track});
    }
    return request;
}

TCopyResult PlanNames(const TCopyRequest& request, platform::CopyFiles& files) {
    struct Folder {
        std::unique_ptr<platform::TargetFolder> opened;
        std::unique_ptr<TNamePlanner> planner;
    };
    std::map<std::string, Folder> folders;
    TCopyResult result;
    result.entries.resize(request.entries.size());
    for (std::size_t i = 0; i < request.entries.size(); ++i) {
        TEntryResult& entry = result.entries[i];
        if (request.entries[i].source.empty()) {
            entry.outcome = TCopyOutcome::SourceMissing;
            continue;
        }
        const std::string planned = request.PlannedPath(i);
        const std::string folderPath = TargetFolderFromDialogPath(planned);
        Folder& folder = folders[folderPath];
        if (!folder.planner) {
            auto opened = files.OpenFolder(folderPath.empty() ? "." : folderPath);
            if (opened)
                folder.opened = std::move(*opened);
            folder.planner = std::make_unique<TNamePlanner>(files, folder.opened.get());
        }
        const std::string name(FileNamePart(planned));
        const auto chosen = folder.planner->Choose(name, request.overwrite);
        if (!chosen) {
            entry.outcome = TCopyOutcome::Failed;
            entry.reason = "no free numbered name";
            continue;
        }
        folder.planner->Claim(*chosen);
        entry.outcome = *chosen == name ? TCopyOutcome::Copied : TCopyOutcome::Numbered;
        entry.path = JoinTargetPath(folderPath, *chosen);
    }
    return result;
}

DialogProposal ProposeDialog(const TiPod& library, std::int32_t firstTrack) {
    const std::string ext = LocationExtension(library.Field(firstTrack, SongField::Location));
    return {TargetFileName(library.Field(firstTrack, SongField::Title), ext), ext};
}

} // namespace copy
