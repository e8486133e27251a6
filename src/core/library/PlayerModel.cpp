#include "core/library/PlayerModel.h"

namespace browser {

std::vector<std::string> TPlayerModel::Roots() const {
    std::vector<std::string> roots;
    for (const device::FoundPlayer& player : players_)
        roots.push_back(player.root);
    return roots;
}

void TPlayerModel::List(std::vector<device::FoundPlayer> players) {
    if (chosen_.empty() && !players.empty())
        chosen_ = players.front().root;
    players_ = std::move(players);
}

TPlayerLoad TPlayerModel::Load(bool fromFiles) {
    library_.iPodPath = chosen_;
    TPlayerLoad load{library_.LoadDatabase(fromFiles), std::nullopt};
    if (load.report.source == TLoadReport::Source::None) {
        library_ = TiPod();
        library_.iPodPath = chosen_;
    }
    load.notice = NoticeOfLoad(load.report, library_.iPodPath);
    return load;
}

void TPlayerModel::Unload() {
    chosen_.clear();
    library_ = TiPod();
}

device::PlayerChanges TPlayerModel::Update(std::vector<device::FoundPlayer> players) {
    const device::PlayerChanges changes =
        device::ComparePlayers(Roots(), players, library_.iPodPath);
    if (!changes.changed) {
        players_ = std::move(players); // the same roots
        return changes;
    }
    if (changes.loadedGone)
        Unload();
    List(std::move(players));
    // The first player left is not loaded: nothing is.
    if (changes.loadedGone && !changes.arrived)
        chosen_.clear();
    return changes;
}

} // namespace browser
