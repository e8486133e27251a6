#pragma once

// Mouse gestures on tables and menus, sent through the window system's path as a user's are:
// to the widget under the point, with popups grabbing the mouse and context-menu events
// following a right-click.

#include "gui/CategoryListModel.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#ifndef QTEST_QPA_MOUSE_HANDLING
#define QTEST_QPA_MOUSE_HANDLING
#endif
#include <QTest>

#include <string>

namespace testsupport {

inline QAction* Action(QMenu* menu, const char* name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String(name))
            return action;
    return nullptr;
}

// The middle of a row's first text cell, scrolled into view as a user would.
inline QPoint RowPoint(QTableView* view, int row) {
    const int column = view->model()->columnCount() > 1 ? 1 : 0;
    view->scrollTo(view->model()->index(row, column));
    return view->visualRect(view->model()->index(row, column)).center();
}

inline void ClickRow(QTableView* view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, RowPoint(view, row));
}

inline void DoubleClickRow(QTableView* view, int row) {
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowPoint(view, row));
}

inline QPoint HeaderPoint(QTableView* view, int column) {
    return QPoint(view->horizontalHeader()->sectionViewportPosition(column) + 10, 5);
}

// A right-click on a row (-1: the header) or below the rows (rows()), and the popup menu it
// opened, if any.
inline QMenu* RightClick(QTableView* view, int row) {
    if (row < 0)
        QTest::mouseClick(view->horizontalHeader()->viewport(), Qt::RightButton, {},
                          HeaderPoint(view, view->model()->columnCount() > 1 ? 1 : 0));
    else if (row >= view->model()->rowCount())
        QTest::mouseClick(view->viewport(), Qt::RightButton, {},
                          QPoint(40, view->viewport()->height() - 4));
    else
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, RowPoint(view, row));
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

inline void CloseMenu(QMenu* menu) {
    if (menu != nullptr)
        QTest::keyClick(menu, Qt::Key_Escape);
}

// Clicks an enabled entry of an open menu; false when the menu has no such entry.
inline bool ClickEntry(QMenu* menu, const char* name) {
    QAction* action = menu != nullptr ? Action(menu, name) : nullptr;
    if (action == nullptr)
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    return true;
}

// The row of a category list's entry, or -1.
inline int RowOf(const QTableView* list, const std::string& text) {
    const auto* model = static_cast<const CategoryListModel*>(list->model());
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->EntryText(row) == text)
            return row;
    return -1;
}

} // namespace testsupport
