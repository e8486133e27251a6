#include "gui/skin/SkinButton.h"

#include "gui/skin/SkinFonts.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>

namespace {

const QColor kDisabledCaption(128, 128, 128);

bool IsPressKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    default:
        return false;
    }
}

// Enter presses the button like Space; the base class knows Space.
QKeyEvent AsSpace(const QKeyEvent* event) {
    return QKeyEvent(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                     event->isAutoRepeat());
}

} // namespace

SkinButton::SkinButton(QWidget* parent) : SkinButton(QString(), parent) {}

SkinButton::SkinButton(const QString& caption, QWidget* parent)
    : QAbstractButton(parent), strip_(skin::Picture::Load(QStringLiteral("button"))),
      captionColor_(245, 255, 91) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(skin::ButtonFont());
    setText(caption);
    resize(75, 24);
}

void SkinButton::setStrip(const skin::Picture& strip) {
    strip_ = strip;
    update();
}

void SkinButton::setCaptionColor(QColor color) {
    captionColor_ = color;
    update();
}

void SkinButton::setPicture(const skin::Picture& picture) {
    picture_ = picture;
    update();
}

void SkinButton::setPictureTransparent(bool on, QColor color) {
    pictureTransparent_ = on;
    transparentColor_ = color;
    update();
}

void SkinButton::setPicturePosition(PicturePosition position) {
    picturePosition_ = position;
    update();
}

void SkinButton::setPictureOffset(int pixels) {
    pictureOffset_ = pixels;
    update();
}

void SkinButton::setHint(const QString& hint) {
    hint_ = hint;
    setToolTip(hint);
    UpdateAccessibleName();
}

void SkinButton::UpdateAccessibleName() {
    // A caption names the button by itself; a button without one is named by its hint.
    if (text().isEmpty())
        setAccessibleName(hint_);
}

SkinButton::State SkinButton::DrawnState() const {
    if (!isEnabled())
        return State::Disabled;
    if (isDown())
        return State::Pressed;
    if (hover_)
        return State::Hover;
    return hasFocus() ? State::Focused : State::Normal;
}

QImage SkinButton::Render(State state, int scale) const {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    if (width() <= 0 || height() <= 0)
        return image;

    const QImage frame =
        skin::ToScale(skin::CutFrame(strip_.At(scale), static_cast<int>(state)), scale);
    QPainter painter(&image);
    painter.drawImage(QPoint(0, 0), skin::HalfKeep(frame, size() * scale));

    const bool disabled = state == State::Disabled;
    QImage picture;
    if (!picture_.isNull()) {
        picture = picture_.At(scale);
        if (disabled)
            picture = skin::Silhouette(picture, palette().color(QPalette::Button));
        else if (pictureTransparent_)
            picture = skin::KeyOut(picture, transparentColor_);
        picture = skin::ToScale(picture, scale);
    }
    const QSize pictureSize = picture.isNull() ? QSize(0, 0) : picture_.size();

    const QFontMetrics metrics(font());
    const QString caption = text();
    // An empty caption takes no room, so a picture alone stands in the middle.
    const int textWidth =
        caption.isEmpty() ? 0
                          : metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
    const int textHeight = caption.isEmpty() ? 0 : metrics.height();
    const int offset = caption.isEmpty() || picture.isNull() ? 0 : pictureOffset_;

    QRect textRect = rect();
    if (!picture.isNull()) {
        if (picturePosition_ == PicturePosition::Above) {
            const int top = (height() - (pictureSize.height() + offset + textHeight)) / 2;
            painter.drawImage(QPoint((width() - pictureSize.width()) / 2, top), picture);
            textRect = QRect(0, top + pictureSize.height() + offset, width(), textHeight);
        } else {
            const int left = (width() - (pictureSize.width() + offset + textWidth)) / 2;
            painter.drawImage(QPoint(left, (height() - pictureSize.height()) / 2), picture);
            textRect = QRect(left + pictureSize.width() + offset, 0, textWidth, height());
        }
    }
    if (!caption.isEmpty()) {
        painter.setFont(font());
        painter.setPen(disabled ? kDisabledCaption : captionColor_);
        const bool underline = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this);
        painter.drawText(textRect,
                         Qt::AlignCenter | Qt::TextSingleLine |
                             (underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic),
                         caption);
    }
    return image;
}

QSize SkinButton::sizeHint() const {
    return QSize(75, 24);
}

void SkinButton::paintEvent(QPaintEvent*) {
    // One finished image, drawn in one piece; the background is never erased on its own.
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), Render(DrawnState(), skin::PaintScale(this)));
}

void SkinButton::Rest() {
    hover_ = false;
    update();
}

void SkinButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
    Rest();
    QAbstractButton::leaveEvent(event);
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        hover_ = false;
    QAbstractButton::mousePressEvent(event);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Rest();
    QAbstractButton::mouseReleaseEvent(event);
}

void SkinButton::keyPressEvent(QKeyEvent* event) {
    if (!IsPressKey(event))
        return QAbstractButton::keyPressEvent(event);
    hover_ = false;
    QKeyEvent space = AsSpace(event);
    QAbstractButton::keyPressEvent(&space);
    event->setAccepted(space.isAccepted());
}

void SkinButton::keyReleaseEvent(QKeyEvent* event) {
    if (!IsPressKey(event))
        return QAbstractButton::keyReleaseEvent(event);
    QKeyEvent space = AsSpace(event);
    QAbstractButton::keyReleaseEvent(&space);
    event->setAccepted(space.isAccepted());
}

void SkinButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void SkinButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

void SkinButton::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
        Rest();
        break;
    default:
        break;
    }
    QAbstractButton::changeEvent(event);
}

bool SkinButton::event(QEvent* event) {
    // An accelerator both clicks the button and gives it the focus.
    if (event->type() == QEvent::Shortcut && isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::ShortcutFocusReason);
    return QAbstractButton::event(event);
}
