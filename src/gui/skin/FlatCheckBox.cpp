#include "gui/skin/FlatCheckBox.h"

#include "gui/skin/SkinFonts.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace skin {

void PaintCheckBox(QPainter& painter, const QRect& box, bool checked, bool enabled) {
    painter.save();
    painter.fillRect(box, enabled ? QColor(Qt::white) : QColor(236, 236, 240));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(enabled ? QColor(Qt::black) : QColor(128, 128, 128), 1.6));
        const QPointF at = box.topLeft();
        painter.drawPolyline(
            QPolygonF{at + QPointF(2.5, 5.5), at + QPointF(4.5, 7.8), at + QPointF(8.5, 3.0)});
    }
    painter.restore();
}

} // namespace skin

FlatCheckBox::FlatCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    setFont(skin::ControlFont());
}

QRect FlatCheckBox::BoxRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    return QRect(indicator.left() + (indicator.width() - skin::kCheckBoxSize) / 2,
                 indicator.top() + (indicator.height() - skin::kCheckBoxSize) / 2,
                 skin::kCheckBoxSize, skin::kCheckBoxSize);
}

void FlatCheckBox::paintEvent(QPaintEvent*) {
    // The style's own parts but its box: the caption where the style puts it, and its focus
    // frame.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    skin::PaintCheckBox(painter, BoxRect(), isChecked(), isEnabled());
    QStyleOptionButton label = option;
    label.rect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawControl(QStyle::CE_CheckBoxLabel, label);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
