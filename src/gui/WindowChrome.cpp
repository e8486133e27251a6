#include "gui/WindowChrome.h"

#include "core/base/ProgramInfo.h"
#include "core/base/WindowPlacement.h"
#include "gui/skin/SkinFonts.h"
#include "gui/skin/TitleBarButton.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include <cmath>
#include <cstdlib>

namespace app {

namespace {

WindowBox Box(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

QRect FreeArea(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

void FitInFreeArea(QWidget* window) {
    const QRect area = FreeArea(window);
    if (area.isEmpty())
        return;
    const QWindow* handle = window->windowHandle();
    const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
    const QSize room = area.marginsRemoved(frame).size().expandedTo(window->minimumSize());
    window->setMaximumSize(room);
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    // A widget window's position is that of its frame.
    const QRect outer = window->frameGeometry();
    const WindowBox placed = CentredOver(Box(outer), outer.width(), outer.height(), Box(area));
    if (QPoint(placed.left, placed.top) != outer.topLeft())
        window->move(placed.left, placed.top);
}

// Fits its window when shown, and again when it first reaches the screen with its frame.
class FreeAreaKeeper final : public QObject {
public:
    explicit FreeAreaKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            FitInFreeArea(window_);
            exposed_ = false;
            if (QWindow* handle = window_->windowHandle();
                handle != nullptr && handle != watched_) {
                handle->installEventFilter(this);
                watched_ = handle;
            }
        } else if (watched == watched_ && event->type() == QEvent::Expose && !exposed_ &&
                   watched_->isExposed()) {
            exposed_ = true;
            FitInFreeArea(window_);
        }
        return false;
    }

private:
    QWidget* window_;
    QWindow* watched_ = nullptr;
    bool exposed_ = false;
};

} // namespace

QFont TableFont(bool bold) {
    QFont font = skin::TableFont();
    font.setBold(bold);
    return font;
}

// A window that stands over another (a dialog over the main window) goes down with the one it
// stands over.
void MinimizeApplication() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QWindow* handle = window->windowHandle();
        if (window->isVisible() && (handle == nullptr || handle->transientParent() == nullptr))
            window->showMinimized();
    }
}

QUrl MakerSiteUrl() {
    return QUrl(QString::fromStdString(MakerSiteAddress()));
}

void OpenMakerSite() {
    QDesktopServices::openUrl(MakerSiteUrl());
}

void SetRoundedOutline(QWidget* window) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, window->width(), window->height()), 12.5, 12.5);
    window->setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void CentreOnScreen(QWidget* window, int reachRight) {
    const QRect area = FreeArea(window);
    if (area.isEmpty())
        return;
    const WindowBox placed =
        CentredOver(Box(area), window->width(), window->height(), Box(area), reachRight);
    window->move(placed.left, placed.top);
}

void CentreOver(QWidget* window, const QWidget* owner) {
    const QRect area = FreeArea(owner);
    const WindowBox placed = CentredOver(Box(owner->geometry()), window->width(), window->height(),
                                         area.isEmpty() ? Box(owner->geometry()) : Box(area));
    window->move(placed.left, placed.top);
}

// Watches the pointer events that reach its window's native window.
class PositionFollower final : public QObject {
public:
    explicit PositionFollower(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
        Watch();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::WinIdChange:
        case QEvent::Show:
            if (watched == window_)
                Watch();
            break;
        // Not Enter: a platform that makes one up when a window appears under the mouse may
        // give it points of two different scales.
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (watched == watched_)
                Follow(*static_cast<const QSinglePointEvent*>(event));
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Watch() {
        QWindow* handle = window_->windowHandle();
        if (handle == nullptr || handle == watched_)
            return;
        handle->installEventFilter(this);
        watched_ = handle;
    }

    void Follow(const QSinglePointEvent& pointer) {
        const QPoint shown = (pointer.globalPosition() - pointer.scenePosition()).toPoint();
        const QPoint held = watched_->position();
        // A pixel is rounding at a fractional scale, not a misplaced window.
        if (std::abs(shown.x() - held.x()) > 1 || std::abs(shown.y() - held.y()) > 1)
            watched_->setPosition(shown);
    }

    QWidget* window_;
    QWindow* watched_ = nullptr;
};

void FollowShownPosition(QWidget* window) {
    new PositionFollower(window);
}

void KeepInFreeArea(QWidget* window) {
    new FreeAreaKeeper(window);
}

void RepaintWhole(QWidget* widget) {
    widget->update();
    for (QWidget* part : widget->findChildren<QWidget*>())
        part->update();
}

FrameImage::FrameImage(const QString& picture, const QRect& geometry, QWidget* parent)
    : QWidget(parent), picture_(skin::Picture::Load(picture)) {
    setObjectName(picture);
    setGeometry(geometry);
}

void FrameImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The twice-size picture serves every dense screen; only an odd scale needs smoothing.
    const qreal ratio = devicePixelRatioF();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != std::floor(ratio));
    painter.drawImage(rect(), picture_.At(skin::PaintScale(this)));
}

void FrameImage::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void FrameImage::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void FrameImage::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

WindowDragger::WindowDragger(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("WindowDragger"));
}

void WindowDragger::AddArea(QWidget* area) {
    areas_.insert(area);
    area->installEventFilter(this);
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event) {
    if (!areas_.contains(watched))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        pressed_ = watched;
        return true;
    case QEvent::MouseMove:
        if (pressed_ != watched || !(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
            return false;
        // The system keeps the mouse until the button goes up; the release may never come here.
        pressed_ = nullptr;
        emit DragStarted(static_cast<QWidget*>(watched));
        if (QWindow* handle = window_->windowHandle())
            handle->startSystemMove();
        return true;
    case QEvent::MouseButtonRelease:
        if (pressed_ != watched)
            return false;
        pressed_ = nullptr;
        return true;
    default:
        return false;
    }
}

void AddFrame(QWidget* window, WindowDragger* dragger, std::span<const FramePiece> pieces) {
    for (const FramePiece& piece : pieces) {
        auto* image = new FrameImage(QString::fromLatin1(piece.picture), piece.at, window);
        image->setObjectName(QString::fromLatin1(piece.name));
        if (piece.drags)
            dragger->AddArea(image);
    }
}

void FillBackground(QWidget* window, const QColor& colour) {
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
}

void AddCaption(QWidget* window, WindowDragger* dragger, const QRect& at) {
    auto* caption = new QLabel(window->windowTitle(), window);
    caption->setObjectName(QStringLiteral("Caption"));
    caption->setGeometry(at);
    caption->setFont(skin::ButtonFont());
    QPalette yellow = caption->palette();
    yellow.setColor(QPalette::WindowText, QColor(245, 255, 91));
    caption->setPalette(yellow);
    dragger->AddArea(caption);
}

TitleButtons AddTitleButtons(QWidget* window, int left, int top) {
    auto make = [&](TitleBarButton::Kind kind, const char* name, int at) {
        auto* button = new TitleBarButton(kind, window);
        button->setObjectName(QString::fromLatin1(name));
        button->move(at, top);
        return button;
    };
    const TitleButtons buttons{make(TitleBarButton::Kind::Minimize, "XP_ButtonSmall1", left),
                               make(TitleBarButton::Kind::Close, "XP_ButtonSmall3", left + 24),
                               make(TitleBarButton::Kind::Web, "XP_ButtonSmall2", left + 48)};
    QObject::connect(buttons.minimize, &QAbstractButton::clicked, window, &MinimizeApplication);
    QObject::connect(buttons.web, &QAbstractButton::clicked, window, &OpenMakerSite);
    return buttons;
}

} // namespace app
