#include "gui/GridView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

void GridView::mousePressEvent(QMouseEvent* event) {
    doubleClick_ = false;
    if (event->button() == Qt::RightButton) {
        event->accept(); // the context menu still follows
        return;
    }
    QTableView::mousePressEvent(event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    doubleClick_ = true;
    // Qt takes a right double-click for a double-click (play) or a press (marks).
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        event->accept(); // over an empty area Qt would clear the marks
    else
        QTableView::mouseReleaseEvent(event);
    emit MouseUp(doubleClick_);
    doubleClick_ = false;
}

PlaySymbolDelegate::PlaySymbolDelegate(QObject* parent)
    : QStyledItemDelegate(parent), play_(skin::Picture::Load(QStringLiteral("play"))) {}

QRect PlaySymbolDelegate::SymbolRect(const QRect& cell) {
    // In the cell's top right corner. The column and the rows are as wide and high as the
    // picture, so padding would only cut its edge off.
    return QRect(cell.right() - 15, cell.top(), 16, 16);
}

void PlaySymbolDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    // The row's band or selection first, without the model's own drawing of the symbol.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    const bool symbol = background.features & QStyleOptionViewItem::HasDecoration;
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    background.icon = QIcon();
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    if (!symbol)
        return;
    painter->save();
    painter->setClipRect(option.rect);
    const int scale = widget != nullptr ? skin::PaintScale(widget) : 1;
    painter->drawImage(SymbolRect(option.rect), play_.At(scale));
    painter->restore();
}
