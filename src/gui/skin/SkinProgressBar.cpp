#include "gui/skin/SkinProgressBar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

SkinProgressBar::SkinProgressBar(QWidget* parent)
    : QWidget(parent), background_(skin::Picture::Load(QStringLiteral("progress_background"))),
      fill_(skin::Picture::Load(QStringLiteral("progress_fill"))),
      head_(skin::Picture::Load(QStringLiteral("progress_head"))) {
    setAccessibleName(QStringLiteral("Progress"));
    resize(sizeHint());
}

void SkinProgressBar::SetValue(int& field, int value) {
    if (field == value)
        return;
    field = value;
    update();
}

void SkinProgressBar::setMinimum(int value) {
    SetValue(minimum_, value);
}

void SkinProgressBar::setMaximum(int value) {
    SetValue(maximum_, value);
}

void SkinProgressBar::setPosition(int value) {
    SetValue(position_, value);
}

void SkinProgressBar::setPictures(const skin::Picture& background, const skin::Picture& fill,
                                  const skin::Picture& head) {
    background_ = background;
    fill_ = fill;
    head_ = head;
    update();
}

int SkinProgressBar::FillLength(int width, int minimum, int maximum, int position) {
    if (position <= minimum)
        return 0;
    // An empty range has nothing to share out: any position past it is the whole bar.
    if (maximum <= minimum)
        return width;
    const double share = double(width) / (double(maximum) - minimum) * (double(position) - minimum);
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    return static_cast<int>(std::min(std::nearbyint(share), double(width)));
}

QImage SkinProgressBar::Render(int scale) const {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    painter.drawImage(QPoint(0, 0),
                      skin::HalfKeep(skin::ToScale(background_.At(scale), scale), size() * scale));
    const int length = FillLength(width(), minimum_, maximum_, position_);
    if (length > 0) {
        const QImage tile = skin::ToScale(fill_.At(scale), scale);
        const int tileWidth = std::max(1, fill_.size().width());
        int x = 0;
        // Tiles stretched to the bar's height; the image clips the last one at the edge.
        for (; x < length; x += tileWidth)
            painter.drawImage(QRect(x, 0, tileWidth, height()), tile);
        painter.drawImage(QPoint(x, 0), skin::ToScale(head_.At(scale), scale));
    }
    return image;
}

QSize SkinProgressBar::sizeHint() const {
    return QSize(257, 11);
}

void SkinProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), Render(skin::PaintScale(this)));
}
