#pragma once

// What the program's frameless windows share: the frame pictures, dragging by the free areas,
// the rounded outline, the title-bar actions and where a window opens.

#include "gui/skin/SkinPicture.h"

#include <QFont>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <span>

class TitleBarButton;

namespace app {

// The text of every grid: Tahoma, 11 pixels high, or its nearest font.
QFont TableFont(bool bold);

// Minimises every window of the program, whichever window asked.
void MinimizeApplication();
// The maker's web site: the address configured at build time, or the installed About page.
QUrl MakerSiteUrl();
void OpenMakerSite();

// The window's outline: its rectangle with corners rounded by an ellipse of 25 x 25.
void SetRoundedOutline(QWidget* window);

// Centres the window on the free area of its screen (the area less task bars and panels);
// a window larger than the area starts at its top edge, and at its left edge unless that would
// put the title-bar buttons (ending at reachRight from the window's left) off the screen.
void CentreOnScreen(QWidget* window, int reachRight = 0);
// Centres the window over `owner`, then moves it as little as needed onto the free area of the
// owner's screen.
void CentreOver(QWidget* window, const QWidget* owner);

// Keeps a window with the window system's frame (a standard dialog) within the free area of its
// screen: from now on, every time it is shown it is made no larger than the area, its frame
// included, and its frame is moved onto the area. The frame is known once the window is on the
// screen, so it is fitted again then.
void KeepInFreeArea(QWidget* window);

// Keeps what Qt holds as the window's position equal to where the window system shows it. A
// window placed by the window manager can be left with a stale position in Qt (X11: a window
// moved just before it is mapped, which the manager then reparents), and the system's move of a
// drag and every popup would start from it. Each mouse event tells both the point on the
// window and on the screen: a position that differs is corrected from them.
void FollowShownPosition(QWidget* window);

// Paints the widget and everything in it afresh (an update of a widget leaves its opaque
// children, such as a grid's rows, as they were).
void RepaintWhole(QWidget* widget);

// A picture of a window's frame at its place, stretched where its place is larger. It takes the
// mouse presses on it, so that a picture which is no drag area keeps them from what lies below.
class FrameImage : public QWidget {
    Q_OBJECT
public:
    FrameImage(const QString& picture, const QRect& geometry, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    skin::Picture picture_;
};

// Moves a frameless window by the areas given to it: a press of the left button on one of them
// and a move with the button held hand the window to the system's move (the window manager's
// own, on X11, Wayland and Windows alike). A press there goes no further.
class WindowDragger : public QObject {
    Q_OBJECT
public:
    explicit WindowDragger(QWidget* window);

    void AddArea(QWidget* area);
    bool IsArea(const QWidget* widget) const { return areas_.contains(widget); }

signals:
    // Just before the system takes over; `area` is where the press was.
    void DragStarted(QWidget* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QSet<const QObject*> areas_;
    const QObject* pressed_ = nullptr;
};

// Fills the window's background with `colour`, which its children also take as their window's.
void FillBackground(QWidget* window, const QColor& colour);
// The window's title on its title strip, in the light caption colour; it moves the window.
void AddCaption(QWidget* window, WindowDragger* dragger, const QRect& at);

// One picture of a frame: its object name, its picture, its place, whether it moves the window.
struct FramePiece {
    const char* name;
    const char* picture;
    QRect at;
    bool drags;
};
// Puts the pieces on the window in order, later ones over earlier ones.
void AddFrame(QWidget* window, WindowDragger* dragger, std::span<const FramePiece> pieces);

// The three title-bar buttons, 24 pixels apart from `left`: minimise (XP_ButtonSmall1), which
// minimises the program, close (XP_ButtonSmall3), whose click is the window's own, and the web
// site (XP_ButtonSmall2).
struct TitleButtons {
    TitleBarButton* minimize;
    TitleBarButton* close;
    TitleBarButton* web;
};
TitleButtons AddTitleButtons(QWidget* window, int left, int top);

} // namespace app
