#include "gui/PlayerSelector.h"

#include <QKeyEvent>
#include <QWheelEvent>

PlayerSelector::PlayerSelector(QWidget* parent) : FlatComboBox(parent) {
    connect(this, &FlatComboBox::closeUp, this, &PlayerSelector::CloseUp);
    // A choice in the open list is announced by closeUp, once the list has gone.
    connect(this, &QComboBox::activated, this, [this] {
        if (onClosedBox_)
            emit CloseUp();
    });
}

void PlayerSelector::ShowPlayers(const std::vector<device::FoundPlayer>& players) {
    clear();
    for (const device::FoundPlayer& player : players)
        addItem(QString::fromStdString(player.entry), QString::fromStdString(player.root));
    if (players.empty())
        addItem(QString::fromLatin1(device::kNoPlayerEntry));
    setCurrentIndex(players.empty() ? 0 : -1);
}

void PlayerSelector::SelectRoot(const std::string& root) {
    if (count() == 1 && !itemData(0).isValid())
        return; // the prompt stays
    setCurrentIndex(root.empty() ? -1 : findData(QString::fromStdString(root)));
}

std::string PlayerSelector::CurrentRoot() const {
    return currentData().toString().toStdString();
}

std::vector<std::string> PlayerSelector::Roots() const {
    std::vector<std::string> roots;
    for (int i = 0; i < count(); ++i)
        if (itemData(i).isValid())
            roots.push_back(itemData(i).toString().toStdString());
    return roots;
}

void PlayerSelector::keyPressEvent(QKeyEvent* event) {
    onClosedBox_ = !isListShown();
    FlatComboBox::keyPressEvent(event);
    onClosedBox_ = false;
}

void PlayerSelector::wheelEvent(QWheelEvent* event) {
    onClosedBox_ = !isListShown();
    FlatComboBox::wheelEvent(event);
    onClosedBox_ = false;
}
