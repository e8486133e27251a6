#pragma once

#include "gui/skin/SkinPicture.h"

#include <QStyledItemDelegate>
#include <QTableView>

// The grid of the track table and the category lists.
// - A right-click leaves the marks alone: Qt's own press handling would clear them and mark
//   the row alone, while here the row is added by the context-menu handler of the window.
// - MouseUp follows a button's release once the view has applied the click (a plain click on
//   a marked row changes the marks only at the release), so its handler reads the marks the
//   user sees. It tells whether the release ends a double-click, whose outcome the handler
//   may leave on screen.
class GridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void MouseUp(bool endsDoubleClick);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool doubleClick_ = false;
};

// Column 0 of the track table: the play picture of the skin, unscaled (its twice-size version
// on a dense screen), aligned to the cell's right and top edges, over the row's colours.
class PlaySymbolDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit PlaySymbolDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Where the picture stands in a cell.
    static QRect SymbolRect(const QRect& cell);

private:
    skin::Picture play_;
};
