#pragma once

// A push button painted from a strip of five frames: normal, pressed, disabled, hover and
// focused. It clicks on the release of a press that began on it, on Enter and Space, and on the
// accelerator of its caption ("&Copy").

#include "gui/skin/SkinPicture.h"

#include <QAbstractButton>
#include <QColor>

class SkinButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class State { Normal, Pressed, Disabled, Hover, Focused };
    enum class PicturePosition { Above, Left };

    // 75 x 24, the push-button strip, the button font and the yellow caption.
    explicit SkinButton(QWidget* parent = nullptr);
    explicit SkinButton(const QString& caption, QWidget* parent = nullptr);

    void setStrip(const skin::Picture& strip);
    void setCaptionColor(QColor color);
    QColor captionColor() const { return captionColor_; }

    // A picture beside the caption; with a transparent colour its pixels of that colour are
    // left out. Disabled, the button draws the picture's silhouette.
    void setPicture(const skin::Picture& picture);
    void setPictureTransparent(bool on, QColor color = QColor(255, 0, 0));
    void setPicturePosition(PicturePosition position);
    void setPictureOffset(int pixels);

    // Tooltip, and the accessible name while the caption is empty.
    void setHint(const QString& hint);

    // The state the button shows now.
    State DrawnState() const;
    // The button's image in `state` at `scale` device pixels per pixel.
    QImage Render(State state, int scale) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Rest();
    void UpdateAccessibleName();

    skin::Picture strip_;
    skin::Picture picture_;
    QColor captionColor_;
    bool pictureTransparent_ = false;
    QColor transparentColor_ = QColor(255, 0, 0);
    PicturePosition picturePosition_ = PicturePosition::Above;
    int pictureOffset_ = 0;
    QString hint_;
    bool hover_ = false;
};
