#pragma once

#include "core/device/DeviceScan.h"
#include "core/device/TiPod.h"
#include "core/library/LoadNotice.h"

#include <optional>
#include <string>
#include <vector>

namespace browser {

// What a load of the chosen player means, for the window and the command line alike.
struct TPlayerLoad {
    TLoadReport report;
    // What the status line says when not every announced track was read.
    std::optional<LoadNotice> notice;

    // The database's tracks can be offered: read whole, or those before the damage.
    bool Listable() const {
        return report.outcome == TLoadReport::Outcome::Loaded || report.read + report.fromFiles > 0;
    }
    // A database file was read, whole or in part.
    bool HasDatabase() const {
        return report.outcome == TLoadReport::Outcome::Loaded ||
               report.outcome == TLoadReport::Outcome::Damaged;
    }
};

// The players found, the one chosen and its tracks. The chosen root is held here alone; the
// library's own root is the player its tracks came from. Main thread only.
class TPlayerModel {
public:
    // The players as the last scan found them, in the selector's order.
    const std::vector<device::FoundPlayer>& Players() const { return players_; }
    std::vector<std::string> Roots() const;
    // Lists a scan's players; with none chosen, the first becomes the chosen one.
    void List(std::vector<device::FoundPlayer> players);

    // The player to load; empty: none.
    const std::string& Chosen() const { return chosen_; }
    void Choose(std::string root) { chosen_ = std::move(root); }

    // Loads the chosen player (see TiPod::LoadDatabase). A player that gives no track (its
    // database missing or unreadable, nothing in its place) leaves the library empty, so no
    // other player's tracks are ever shown under this root. fromFiles: the files' tags alone.
    TPlayerLoad Load(bool fromFiles = false);
    // The loaded player has gone: nothing is chosen or loaded any more.
    void Unload();
    const TiPod& Library() const { return library_; }
    TiPod& Library() { return library_; }

    // A new scan against the list: the loaded player unloaded when it has gone, the scan listed
    // when a player came or went (otherwise only its spellings are taken). After the loaded
    // player went and none came, nothing is chosen.
    device::PlayerChanges Update(std::vector<device::FoundPlayer> players);

private:
    std::vector<device::FoundPlayer> players_;
    std::string chosen_;
    TiPod library_;
};

} // namespace browser
