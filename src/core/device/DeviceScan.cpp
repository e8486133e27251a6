#include "core/device/DeviceScan.h"

#include "core/device/DevicePath.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/Text.h"

#include <algorithm>

namespace device {
namespace {

std::string FolderName(const std::string& folder) {
    std::string trimmed = folder;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\'))
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of("/\\");
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

} // namespace

std::string SelectorEntry(const std::string& label, const std::string& root) {
    return " [" + platform::ToLowerCase(label) + "]  " + root;
}

std::string RootFromEntry(const std::string& entry) {
    const std::size_t bracket = entry.find(']');
    if (bracket == std::string::npos || bracket + 3 > entry.size())
        return {};
    return entry.substr(bracket + 3);
}

bool HoldsPlayer(const std::string& root) {
    PlayerFiles files(root);
    return files.FindFolder({"iPod_Control", "iTunes"}).has_value();
}

std::optional<std::string> PlayerFolderRejection(const std::string& folder) {
    const auto real = platform::RealFolderPath(folder);
    if (!real)
        return "--player " + folder + ": no such folder";
    if (!HoldsPlayer(*real))
        return "--player " + folder + ": it holds no iPod_Control/iTunes folder";
    return std::nullopt;
}

std::vector<FoundPlayer> ScanPlayers(const ScanSources& sources,
                                     const std::function<void(const std::string&)>& labelFailure) {
    std::vector<FoundPlayer> found;
    auto add = [&](const std::string& root, const std::string& label, bool named) {
        if (std::none_of(found.begin(), found.end(),
                         [&](const FoundPlayer& player) { return player.root == root; }))
            found.push_back({root, SelectorEntry(label, root), named});
    };
    if (sources.removableRoots) {
        for (const std::string& root : sources.removableRoots()) {
            // The first look at an empty card-reader slot is the listing of its root, so the
            // whole probe runs with the system's "no disk" box off.
            platform::QuietDriveErrors quiet;
            if (!HoldsPlayer(root))
                continue;
            auto label = platform::VolumeLabel(root);
            if (!label && labelFailure)
                labelFailure(label.message());
            add(root, label ? *label : std::string(), false);
        }
    }
    for (const std::string& folder : sources.extraFolders) {
        platform::QuietDriveErrors quiet; // "--player E:" may name an empty drive too
        const auto real = platform::RealFolderPath(folder);
        if (real && HoldsPlayer(*real))
            add(*real, FolderName(*real), true);
    }
    return found;
}

bool NamedPlayersChanged(const std::vector<FoundPlayer>& listed,
                         const std::vector<FoundPlayer>& namedNow) {
    auto holds = [](const std::vector<FoundPlayer>& players, const std::string& root) {
        return std::any_of(players.begin(), players.end(),
                           [&](const FoundPlayer& player) { return player.root == root; });
    };
    const bool gone = std::any_of(listed.begin(), listed.end(), [&](const FoundPlayer& player) {
        return player.named && !holds(namedNow, player.root);
    });
    const bool came = std::any_of(namedNow.begin(), namedNow.end(), [&](const FoundPlayer& player) {
        return !holds(listed, player.root);
    });
    return gone || came;
}

PlayerChanges ComparePlayers(const std::vector<std::string>& listed,
                             const std::vector<FoundPlayer>& found, const std::string& loaded) {
    auto isFound = [&](const std::string& root) {
        return std::any_of(found.begin(), found.end(),
                           [&](const FoundPlayer& player) { return player.root == root; });
    };
    PlayerChanges changes;
    changes.arrived = std::any_of(found.begin(), found.end(), [&](const FoundPlayer& player) {
        return std::find(listed.begin(), listed.end(), player.root) == listed.end();
    });
    changes.changed = changes.arrived || !std::all_of(listed.begin(), listed.end(), isFound);
    changes.loadedGone = !loaded.empty() && !isFound(loaded);
    return changes;
}

} // namespace device
