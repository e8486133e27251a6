#pragma once

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
