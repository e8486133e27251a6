#include "core/copy/CopyJob.h"

#include "core/copy/TargetNames.h"
#include "core/device/DevicePath.h"
#include "core/device/TiPod.h"
#include "platform/Paths.h"

namespace copy {
namespace {

// Only a regular file inside the player is ever opened by the worker: a track without one gets
// no source path, and its entry reads as a missing source.
std::string SourcePath(device::PlayerFiles& files, std::string_view location) {
    auto found = files.FindLocation(location);
    return found ? std::move(found->path) : std::string();
}

} // namespace

void AddTracksToJob(const TiPod& library, const std::vector<std::int32_t>& tracks,
                    const std::string& targetFolder, CopyJob& job) {
    device::PlayerFiles files(library.iPodPath);
    job.PlayerRoot = library.iPodPath;
    for (std::int32_t track : tracks) {
        const std::string title(library.Field(track, SongField::Title));
        const std::string_view location = library.Field(track, SongField::Location);
        std::string source = SourcePath(files, location);
        std::string target =
            JoinTargetPath(targetFolder, TargetFileName(title, LocationExtension(location)));
        job.SourceFiles.push_back(std::move(source));
        job.TargetFiles.push_back(std::move(target));
        job.TitleList.push_back(title);
    }
}

DialogProposal ProposeDialog(const TiPod& library, std::int32_t firstTrack) {
    const std::string ext = LocationExtension(library.Field(firstTrack, SongField::Location));
    return {TargetFileName(library.Field(firstTrack, SongField::Title), ext), ext};
}

} // namespace copy
