#pragma once

#include "gui/skin/FlatComboBox.h"
#include "core/device/DeviceScan.h"

#include <string>
#include <vector>

// The player selector: a flat drop-down list with one entry " [label]  root" per player, the
// root kept as the entry's data (labels and folders may hold any character, so the text is never
// parsed back), or the single prompt "Please connect your iPod", which names no player.
//
// CloseUp means the user has closed the list: by choosing an entry with the mouse or the keys,
// announced once the choice is current, or by dismissing it without a choice. The list also
// closes when the window is minimised, hidden or closed or the box disabled: no close-up then
// (FlatComboBox::closeUp). A choice with the arrow keys or the wheel on the closed box counts as
// a close-up too, so the entry shown is always the one loaded.
class PlayerSelector : public FlatComboBox {
    Q_OBJECT
public:
    explicit PlayerSelector(QWidget* parent = nullptr);

    // The players' entries, none chosen yet; the prompt alone when there are none.
    void ShowPlayers(const std::vector<device::FoundPlayer>& players);
    // Shows the entry of this root, or none when it has none.
    void SelectRoot(const std::string& root);
    // The root of the entry shown; empty for the prompt or none.
    std::string CurrentRoot() const;
    std::vector<std::string> Roots() const;

signals:
    void CloseUp();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Set while a key or the wheel acts on the closed box: a choice made then is a close-up.
    bool onClosedBox_ = false;
};
