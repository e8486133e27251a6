#include "gui/skin/TXP_GroupBox.h"

#include "gui/skin/SkinFonts.h"
#include "gui/skin/SkinPicture.h"

#include <QPainter>
#include <QPainterPath>

TXP_GroupBox::TXP_GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    setFont(skin::ControlFont());
}

void TXP_GroupBox::setBorderColor(QColor color) {
    borderColor_ = color;
    update();
}

void TXP_GroupBox::setCaptionColor(QColor color) {
    captionColor_ = color;
    update();
}

void TXP_GroupBox::setBackgroundColor(QColor color) {
    backgroundColor_ = color;
    update();
}

QImage TXP_GroupBox::Render(int scale) const {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(backgroundColor_);
    QPainter painter(&image);
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    // The border runs from half the caption's height down to the bottom edge, 8 x 8 corners.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(borderColor_, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(
        QRectF(0.5, lineHeight / 2 + 0.5, width() - 1, height() - lineHeight / 2 - 1), 4, 4);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QString caption = title();
    if (!caption.isEmpty()) {
        const int captionWidth =
            metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
        const QRect box(10, 0, captionWidth + 7, lineHeight);
        painter.fillRect(box, backgroundColor_);
        painter.setFont(font());
        painter.setPen(isEnabled() ? captionColor_ : QColor(128, 128, 128));
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
    }
    return image;
}

void TXP_GroupBox::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(QPoint(0, 0), Render(skin::PaintScale(this)));
}
