#include "gui/skin/FlatComboBox.h"

#include "gui/skin/SkinFonts.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <array>

namespace {

const QColor kTopLine(194, 195, 200);
const QColor kLeftBottomLine(169, 173, 182);
const QColor kRightLine(128, 128, 128);
const QColor kText(65, 67, 64);

constexpr int kDropWidth = 18;

// The drop button's background, row by row from row 1; rows below repeat the last.
const std::array<QColor, 15> kDropRows = {
    QColor(246, 249, 254), QColor(246, 249, 254), QColor(246, 249, 254), QColor(246, 249, 254),
    QColor(246, 249, 254), QColor(241, 243, 250), QColor(238, 241, 249), QColor(236, 239, 246),
    QColor(236, 239, 246), QColor(236, 239, 246), QColor(228, 231, 238), QColor(223, 226, 233),
    QColor(219, 224, 230), QColor(215, 220, 226), QColor(205, 209, 218)};

void DrawBorder(QPainter& painter, const QRect& r) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), kTopLine);
    painter.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 1), kLeftBottomLine);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), kLeftBottomLine);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), kRightLine);
}

} // namespace

FlatComboBox::FlatComboBox(QWidget* parent)
    : QComboBox(parent), dropButton_(new FlatComboDropButton(this)) {
    setEditable(false);
    setFont(skin::ControlFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Text, kText);
    colours.setColor(QPalette::ButtonText, kText);
    setPalette(colours);
    PlaceDropButton();
}

QWidget* FlatComboBox::dropButton() const {
    return dropButton_;
}

void FlatComboBox::PlaceDropButton() {
    dropButton_->setGeometry(width() - 20, 2, kDropWidth, std::max(0, height() - 4));
}

void FlatComboBox::showPopup() {
    QComboBox::showPopup();
    QWidget* list = view()->window();
    if (!watchingList_ && list != window()) {
        list->installEventFilter(this);
        watchingList_ = true;
    }
    listShown_ = list->isVisible();
    dropButton_->update();
}

bool FlatComboBox::MayCloseUp() const {
    return !hiding_ && isEnabled() && isVisible() && !window()->isMinimized();
}

void FlatComboBox::hidePopup() {
    const bool wasShown = view()->window()->isVisible();
    QComboBox::hidePopup();
    listShown_ = false;
    dropButton_->update();
    // The list tells its choice only after it has closed; the close-up waits for it.
    if (wasShown && MayCloseUp())
        QMetaObject::invokeMethod(this, &FlatComboBox::FinishCloseUp, Qt::QueuedConnection);
}

void FlatComboBox::FinishCloseUp() {
    if (MayCloseUp())
        emit closeUp();
}

bool FlatComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == view()->window()) {
        listShown_ = false;
        dropButton_->update();
    }
    return QComboBox::eventFilter(watched, event);
}

void FlatComboBox::hideEvent(QHideEvent* event) {
    hiding_ = true;
    QComboBox::hideEvent(event);
    hiding_ = false;
}

void FlatComboBox::changeEvent(QEvent* event) {
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        dropButton_->update();
}

void FlatComboBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    PlaceDropButton();
}

void FlatComboBox::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    dropButton_->update();
    QComboBox::enterEvent(event);
}

void FlatComboBox::leaveEvent(QEvent* event) {
    hovered_ = false;
    dropButton_->update();
    QComboBox::leaveEvent(event);
}

void FlatComboBox::paintEvent(QPaintEvent*) {
    const int scale = skin::PaintScale(this);
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    const QColor background =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base);
    image.fill(background);
    QPainter painter(&image);
    DrawBorder(painter, rect());
    // The text area, framed by one pixel of background inside the border and before the
    // drop button; focused, it shows the selection colours like a standard selector.
    const QRect textArea(2, 2, std::max(0, width() - 24), std::max(0, height() - 4));
    QColor textColor = isEnabled() ? kText : QColor(128, 128, 128);
    if (hasFocus() && !listShown_) {
        painter.fillRect(textArea, palette().color(QPalette::Highlight));
        textColor = palette().color(QPalette::HighlightedText);
    }
    painter.setFont(font());
    painter.setPen(textColor);
    const QRect textRect = textArea.adjusted(2, 0, -1, 0);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width()));
    painter.end();
    QPainter(this).drawImage(QPoint(0, 0), image);
}

FlatComboDropButton::FlatComboDropButton(FlatComboBox* combo)
    : QWidget(combo), combo_(combo), glyph_(skin::Picture::Load(QStringLiteral("drop_normal"))),
      hoverGlyph_(skin::Picture::Load(QStringLiteral("drop_hover"))) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

QImage FlatComboDropButton::Render(int scale) const {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(kDropRows.back());
    QPainter painter(&image);
    for (int row = 1; row < height() - 1; ++row)
        painter.fillRect(QRect(0, row, width(), 1),
                         kDropRows[std::min<size_t>(row - 1, kDropRows.size() - 1)]);
    DrawBorder(painter, rect());
    // Pressed while its list is open: the press opens it, and the list takes the release.
    const bool pressed = combo_->isEnabled() && combo_->isListShown();
    const bool lit = combo_->isEnabled() && (pressed || hovered_ || combo_->isHovered());
    const QImage glyph = skin::ToScale((lit ? hoverGlyph_ : glyph_).At(scale), scale);
    painter.drawImage(QPoint(3, pressed ? 5 : 4), glyph);
    return image;
}

void FlatComboDropButton::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(QPoint(0, 0), Render(skin::PaintScale(this)));
}

void FlatComboDropButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !combo_->isEnabled())
        return QWidget::mousePressEvent(event);
    combo_->setFocus(Qt::MouseFocusReason);
    if (combo_->isListShown()) {
        combo_->hidePopup();
        return;
    }
    // As a press on the box itself: that keeps the list open through the release that follows.
    // Where the list drops below the box (the Windows style), the release lands outside it,
    // which would otherwise close it at once.
    QMouseEvent press(event->type(), combo_->mapFromGlobal(event->globalPosition()),
                      event->scenePosition(), event->globalPosition(), event->button(),
                      event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(combo_, &press);
}

void FlatComboDropButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QWidget::enterEvent(event);
}

void FlatComboDropButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QWidget::leaveEvent(event);
}
