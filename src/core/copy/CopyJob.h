#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TiPod;

namespace copy {

// The three lists of one copy job; entry k of each belongs to the same track.
struct CopyJob {
    std::vector<std::string> TitleList;   // the title as the table shows it
    std::vector<std::string> SourceFiles; // the track's file on the player
    std::vector<std::string> TargetFiles; // the planned copy; the worker writes the outcome here
    std::string PlayerRoot;               // the root of the player the sources are on
};

// Appends one entry per track (library indices, each row's own track, in the order given):
// the title, the track's file found under the player's root without regard to letter case
// (empty when the player holds no regular file there, so the entry reads as a missing source),
// and the copy's planned path in the target folder.
void AddTracksToJob(const TiPod& library, const std::vector<std::int32_t>& tracks,
                    const std::string& targetFolder, CopyJob& job);

// The folder dialog's title, and the name and filter it proposes for the first selected track:
// the name that track's copy gets, and its extension alone.
inline constexpr char kFolderDialogTitle[] = "Select Directory...";
struct DialogProposal {
    std::string fileName;
    std::string filter;
};
DialogProposal ProposeDialog(const TiPod& library, std::int32_t firstTrack);

} // namespace copy
