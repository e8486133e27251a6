#include "app/PlayerSelector.h"

#include <QAbstractItemView>
#include <QMetaObject>

PlayerSelector::PlayerSelector(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] {
        closing_ = false;
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

void PlayerSelector::showPopup() {
    QComboBox::showPopup();
    open_ = view()->isVisible();
}

void PlayerSelector::hidePopup() {
    // Qt hides the list from its hide, close and disable handling as well, with or without a
    // list open; only a list closed in a window the user sees is the user's doing.
    const bool byUser = open_ && isVisible() && isEnabled() && !window()->isMinimized();
    open_ = false;
    QComboBox::hidePopup();
    if (!byUser)
        return;
    // A choice arrives as activated right after this; without one, the close-up follows once
    // this event is done.
    closing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!closing_)
                return;
            closing_ = false;
            emit CloseUp();
        },
        Qt::QueuedConnection);
}
