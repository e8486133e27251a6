#include "app/skin/FlatCheckListBox.h"

#include "app/skin/SkinFonts.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>

// The delegate sees only the user's gestures on an item: a change of check state that passes
// through it is a toggle by the user.
class FlatCheckDelegate : public QStyledItemDelegate {
public:
    explicit FlatCheckDelegate(FlatCheckListBox* list) : QStyledItemDelegate(list), list_(list) {}

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        const QVariant before = index.data(Qt::CheckStateRole);
        const bool handled = QStyledItemDelegate::editorEvent(event, model, option, index);
        if (handled && index.data(Qt::CheckStateRole) != before)
            emit list_->clickCheck(index.row());
        return handled;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->itemHeight());
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // The boxes stay white on the tinted list, so that an empty box shows.
        option->palette.setColor(QPalette::Base, Qt::white);
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
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex at = model()->index(index, 0);
    option.rect = visualRect(at);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = static_cast<Qt::CheckState>(at.data(Qt::CheckStateRole).toInt());
    option.text = at.data().toString();
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
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
