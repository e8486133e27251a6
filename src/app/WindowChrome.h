#pragma once

#include <QFont>
#include <QString>
#include <QUrl>

class QToolButton;
class QWidget;

namespace app {

// The text of every grid: Tahoma, 11 pixels high.
QFont TableFont(bool bold);

// A plain title-bar button (18 x 18) at left, top.
QToolButton* MakeTitleButton(QWidget* window, const QString& name, const QString& glyph,
                             const QString& hint, int left, int top);

// Minimises every window of the program, whichever window asked.
void MinimizeApplication();
// The maker's web site: the address configured at build time, or the installed About page.
QUrl MakerSiteUrl();
void OpenMakerSite();

// The window's outline: its rectangle with corners rounded by an ellipse of 25 x 25.
void SetRoundedOutline(QWidget* window);

} // namespace app
