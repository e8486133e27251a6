#pragma once

// The tab buttons above the category lists. The active tab has a black caption and stands two
// pixels taller than the others, whose captions are dark grey; the feet of all stay in line.

#include "gui/skin/SkinButton.h"

class TabButton : public SkinButton {
    Q_OBJECT

public:
    explicit TabButton(const QString& caption, QWidget* parent = nullptr);

    // Looks active or not: caption colour and height (20 or 18), keeping the bottom edge.
    void setActive(bool active);
    bool isActive() const { return active_; }

private:
    bool active_ = false;
};
