#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TiPod;

namespace platform {
class CopyFiles;
}

namespace copy {

// What became of an entry of a job.
enum class TCopyOutcome : std::uint8_t {
    Pending,       // not reached (the job was abandoned)
    Copied,        // complete under its planned name
    Numbered,      // complete under a numbered variant of it
    AlreadyCopied, // the target held the same bytes already: not copied again
    SourceMissing, // the player holds no file for the track
    NoRoom,        // the target had too little free space for it
    Stopped,       // a stop request came first
    Failed,        // see the reason
};

// Whether the outcome leaves a complete copy of the entry.
constexpr bool HasCopy(TCopyOutcome outcome) {
    return outcome == TCopyOutcome::Copied || outcome == TCopyOutcome::Numbered ||
           outcome == TCopyOutcome::AlreadyCopied;
}

// How the report and the command line show an outcome without a copy.
inline constexpr char kCopyTerminated[] = " Copy Terminated.";
inline constexpr char kDiskspaceNotEnough[] = " Diskspace is not enough, please recopy the file.";
inline constexpr char kSourceNotFound[] = " Source file not found.";
inline constexpr char kCopyFailed[] = " Copy failed: "; // followed by the reason
inline constexpr char kAlreadyCopied[] = " Already copied.";

// One entry of a job: the track's title as the table shows it, its file on the player (empty
// when there is none), and the name planned for its copy below the job's target folder.
struct TCopyEntry {
    std::string title;
    std::string source;
    std::string name;
    std::int32_t track = -1; // in the library the job was planned from
};

// A job as it is handed to the worker, which keeps its own copy.
struct TCopyRequest {
    std::string targetFolder;
    std::vector<TCopyEntry> entries;
    std::string playerRoot; // the root of the player the sources are on
    bool overwrite = false; // for the first entry; the setting may change during the run
    // An entry whose planned name (or a numbered variant of it) holds the same bytes already
    // is not copied again.
    bool skipExisting = false;
    std::string PlannedPath(std::size_t entry) const;
};

struct TEntryResult {
    TCopyOutcome outcome = TCopyOutcome::Pending;
    std::string path;   // the complete copy, for an outcome that has one
    std::string reason; // why it failed
};

struct TCopyResult {
    std::vector<TEntryResult> entries; // one per entry of the request, in its order
    std::size_t leftoversRemoved = 0;  // temporary files of killed runs removed first
    std::size_t Copies() const;        // entries with a complete copy, those already there too
    std::size_t Count(TCopyOutcome outcome) const;
};

// The entry as the report shows it: the path of the copy, or the text of the outcome (an entry
// already copied reads " Already copied.").
std::string OutcomeText(const TEntryResult& result);

// One entry per track (library indices, each row's own track, in the order given): the title,
// the track's file found under the player's root without regard to letter case (empty when the
// player holds no regular file there, so the entry reads as a missing source), and the name its
// copy is planned to get below the target folder by the layout (see NameLayout.h; one that
// CheckLayout accepts).
TCopyRequest PlanJob(const TiPod& library, const std::vector<std::int32_t>& tracks,
                     const std::string& targetFolder, bool overwrite,
                     std::string_view layout = "{title}");

// What each entry would get, named as the worker names when it starts now: the path of its copy,
// or the outcome it will have instead. A folder not made yet holds nothing. Writes nothing.
TCopyResult PlanNames(const TCopyRequest& request, platform::CopyFiles& files);

// The folder dialog's title, and the name and filter it proposes for the first selected track:
// the name that track's copy gets, and its extension alone.
inline constexpr char kFolderDialogTitle[] = "Select Directory...";
struct DialogProposal {
    std::string fileName;
    std::string filter;
};
DialogProposal ProposeDialog(const TiPod& library, std::int32_t firstTrack);

} // namespace copy
