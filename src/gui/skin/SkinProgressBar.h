#pragma once

// A progress bar painted from three pictures: the background resized to the bar, the fill
// tiled up to the position, and the head at the fill's end.

#include "gui/skin/SkinPicture.h"

#include <QWidget>

class SkinProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit SkinProgressBar(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    // Each repaints when the value changes.
    void setMinimum(int value);
    void setMaximum(int value);
    void setPosition(int value);

    void setPictures(const skin::Picture& background, const skin::Picture& fill,
                     const skin::Picture& head);

    // Pixels of `width` filled for `position` between `minimum` and `maximum`: the share
    // rounded to the nearest pixel, halves to the even one, never beyond `width`.
    static int FillLength(int width, int minimum, int maximum, int position);

    QImage Render(int scale) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetValue(int& field, int value);

    skin::Picture background_;
    skin::Picture fill_;
    skin::Picture head_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};
