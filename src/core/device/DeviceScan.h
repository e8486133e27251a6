#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace device {

inline constexpr char kNoPlayerEntry[] = "Please connect your iPod";

// A selector entry: " [label]  ROOT", the label folded to lower case.
std::string SelectorEntry(const std::string& label, const std::string& root);
// The root an entry names: everything from three characters after its first "]" to the end
// (on Windows the drive letter and the colon). Empty when the entry names none.
std::string RootFromEntry(const std::string& entry);

// Whether a folder holds a player's iPod_Control/iTunes folder (any letter case).
bool HoldsPlayer(const std::string& root);

struct FoundPlayer {
    std::string root;
    std::string entry;
    bool named = false; // listed for a folder named on the command line
};

// Why a folder named on the command line is not listed, in words ("--player DIR: no such
// folder"); nothing when it holds a player.
std::optional<std::string> PlayerFolderRejection(const std::string& folder);

// Where players may be: the removable volumes (or drives) and the folders named on the
// command line, which are labelled by their folder name and listed under one spelling of their
// path, so a folder written two ways is one player.
struct ScanSources {
    std::function<std::vector<std::string>()> removableRoots;
    std::vector<std::string> extraFolders;
};

// The players among the sources, removable volumes first, each root once.
// labelFailure receives the message when a volume label cannot be read (the label is then
// empty).
std::vector<FoundPlayer> ScanPlayers(const ScanSources& sources,
                                     const std::function<void(const std::string&)>& labelFailure);

// Whether the folders named on the command line tell of a change that no system notice brings:
// a player listed for one of them is not among those they hold now (namedNow, a scan of them
// alone), or one they hold is not listed.
bool NamedPlayersChanged(const std::vector<FoundPlayer>& listed,
                         const std::vector<FoundPlayer>& namedNow);

// What a scan found, against the roots listed before it and the root loaded (empty: none).
struct PlayerChanges {
    bool changed = false;    // a player came or went
    bool arrived = false;    // a player that was not listed
    bool loadedGone = false; // the loaded player is not there any more
};
PlayerChanges ComparePlayers(const std::vector<std::string>& listed,
                             const std::vector<FoundPlayer>& found, const std::string& loaded);

} // namespace device
