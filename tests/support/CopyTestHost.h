#pragma once

#include "core/device/TiPod.h"
#include "gui/CopyHost.h"
#include "gui/CopySide.h"

#include <QWidget>

#include <memory>
#include <numeric>

namespace testsupport {

// A window for the copy side alone: a player's library, a selection the test sets, and the
// state the side shows recorded rather than drawn.
class CopyTestHost final : public QWidget, public TCopyHost {
public:
    std::unique_ptr<TCopySide> side;
    TiPod library;
    std::vector<std::int32_t> selection; // in the order a table would list them
    bool overwrite = false;
    TCopyChoices choices;
    std::size_t players = 1;
    bool copying = false;
    int progress = 0;
    int progressMax = 0;
    std::string status;

    explicit CopyTestHost(TCopyEnvironment environment) {
        side = std::make_unique<TCopySide>(*this, std::move(environment));
        show();
    }
    // The side's worker still sends its messages here while it is waited for.
    ~CopyTestHost() override { side->AbandonJob(); }

    // The player at root, every track selected.
    void Load(const std::string& root) {
        library.iPodPath = root;
        library.LoadDatabase();
        selection.resize(static_cast<std::size_t>(library.GetSongCount()));
        std::iota(selection.begin(), selection.end(), 0);
    }

    QWidget* HostWindow() override { return this; }
    const TiPod& Library() const override { return library; }
    std::vector<std::int32_t> SelectedTracks() const override { return selection; }
    bool OverwriteSetting() const override { return overwrite; }
    TCopyChoices CopyChoices() const override { return choices; }
    bool IsCopying() const override { return copying; }
    void SetCopying(bool value) override { copying = value; }
    void SetProgress(int position) override { progress = position; }
    void SetProgressMax(int maximum) override { progressMax = maximum; }
    void ShowCopyStatus(const std::string& text) override { status = text; }
    std::size_t PlayerCount() const override { return players; }
    void CMProgressPosition(int position) override { side->CMProgressPosition(position); }
    void CMProgressMax(int maximum) override { side->CMProgressMax(maximum); }
    void CMProgressText(const std::string& text) override { side->CMProgressText(text); }
    void CMProgressFinish(int result) override { side->CMProgressFinish(result); }
};

} // namespace testsupport
