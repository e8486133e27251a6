#include "gui/skin/TabButton.h"

namespace {

const QColor kActiveCaption(0, 0, 0);
// The classic dark 3-D shadow grey, the same on every platform.
const QColor kInactiveCaption(105, 105, 105);
constexpr int kActiveHeight = 20;
constexpr int kInactiveHeight = 18;

} // namespace

TabButton::TabButton(const QString& caption, QWidget* parent) : SkinButton(caption, parent) {
    setStrip(skin::Picture::Load(QStringLiteral("tab")));
    setCaptionColor(kInactiveCaption);
    resize(width(), kInactiveHeight);
}

void TabButton::setActive(bool active) {
    active_ = active;
    setCaptionColor(active ? kActiveCaption : kInactiveCaption);
    const int height = active ? kActiveHeight : kInactiveHeight;
    const QRect old = geometry();
    setGeometry(old.x(), old.y() + old.height() - height, old.width(), height);
}
