#include "app/GridView.h"

#include <QMouseEvent>

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
