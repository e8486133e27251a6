#pragma once

// The small buttons of the title strips: minimise, close and web site, 18 x 18, a 10 x 10
// glyph (red is transparent) on the title-bar strip.

#include "gui/skin/SkinButton.h"

class TitleBarButton : public SkinButton {
    Q_OBJECT

public:
    enum class Kind { Minimize, Close, Web };

    explicit TitleBarButton(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};
