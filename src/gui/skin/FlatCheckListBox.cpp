#include "gui/skin/FlatCheckListBox.h"

#include "gui/skin/FlatCheckBox.h"
#include "gui/skin/SkinFonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kBox = skin::kCheckBoxSize;

QRect BoxIn(const QRect& row) {
    return QRect(row.left() + 2, row.top() + (row.height() - kBox) / 2, kBox, kBox);
}

bool IsToggleKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Space || key == Qt::Key_Select;
}

} // namespace

// Draws each item's box itself, small enough for the list's low rows, and toggles it on the
// user's gestures: a change of check state through the delegate is a toggle by the user.
class FlatCheckDelegate : public QStyledItemDelegate {
public:
    explicit FlatCheckDelegate(FlatCheckListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QRect box = BoxIn(option.rect);
        item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        item.rect.setLeft(box.right() + 4);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        skin::PaintCheckBox(*painter, box, index.data(Qt::CheckStateRole).toInt() == Qt::Checked,
                            (index.flags() & Qt::ItemIsEnabled) != 0);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (!(index.flags() & Qt::ItemIsUserCheckable) || !(index.flags() & Qt::ItemIsEnabled))
            return false;
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            // Eaten on the box, so that a double-click does not toggle twice.
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            return BoxIn(option.rect).contains(mouse->position().toPoint()) &&
                   event->type() == QEvent::MouseButtonDblClick;
        }
        bool toggle = IsToggleKey(event);
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            toggle = mouse->button() == Qt::LeftButton &&
                     BoxIn(option.rect).contains(mouse->position().toPoint());
        }
        if (!toggle)
            return false;
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        emit list_->clickCheck(index.row());
        return true;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->itemHeight());
    }

private:
    FlatCheckListBox* list_;
};

FlatCheckListBox::FlatCheckListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new FlatCheckDelegate(this));
    setFrameShape(QFrame::NoFrame);
    // Room for the two drawn rings.
    setViewportMargins(2, 2, 2, 2);
    setUniformItemSizes(true);
    setFont(skin::ControlFont());
    setBackgroundColor(QColor(219, 219, 229));
}

void FlatCheckListBox::addCheckItem(const QString& text, bool checked) {
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool FlatCheckListBox::isChecked(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry && entry->checkState() == Qt::Checked;
}

void FlatCheckListBox::setChecked(int index, bool checked) {
    if (QListWidgetItem* entry = item(index))
        entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void FlatCheckListBox::setBorderColor(QColor color) {
    borderColor_ = color;
    update();
}

void FlatCheckListBox::setBackgroundColor(QColor color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

void FlatCheckListBox::setItemHeight(int pixels) {
    itemHeight_ = pixels;
    doItemsLayout();
}

QRect FlatCheckListBox::CheckRect(int index) const {
    return BoxIn(visualRect(model()->index(index, 0)));
}

bool FlatCheckListBox::event(QEvent* event) {
    if (event->type() != QEvent::Paint)
        return QListWidget::event(event);
    // The frame around the viewport: the border colour on the edge, the background inside it.
    QPainter painter(this);
    painter.setPen(borderColor_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Base));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
    return true;
}
