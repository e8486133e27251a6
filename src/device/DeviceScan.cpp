#include "device/DeviceScan.h"

#include "device/DevicePath.h"
#include "platform/Drives.h"
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

std::vector<FoundPlayer> ScanPlayers(const ScanSources& sources,
                                     const std::function<void(const std::string&)>& labelFailure) {
    std::vector<FoundPlayer> found;
    auto add = [&](const std::string& root, const std::string& label) {
        const std::string entry = SelectorEntry(label, root);
        if (std::none_of(found.begin(), found.end(),
                         [&](const FoundPlayer& player) { return player.entry == entry; }))
            found.push_back({root, entry});
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
            add(root, label ? *label : std::string());
        }
    }
    for (const std::string& folder : sources.extraFolders) {
        platform::QuietDriveErrors quiet; // "--player E:" may name an empty drive too
        if (HoldsPlayer(folder))
            add(folder, FolderName(folder));
    }
    return found;
}

} // namespace device
