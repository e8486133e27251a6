#pragma once

// The skin's pictures and the image operations the skinned controls paint with.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace skin {

// A picture at its own size and, where there is one, at twice its size for dense screens.
class Picture {
public:
    Picture() = default;
    explicit Picture(QImage normal, QImage doubled = {});

    // The resource pictures ":/skin/NAME.png" and ":/skin/NAME@2x.png".
    static Picture Load(const QString& name);

    // The version for painting at `scale` (1 or 2), converted to premultiplied ARGB; its
    // devicePixelRatio tells which version it is.
    QImage At(int scale) const;
    // Size in logical pixels.
    QSize size() const { return normal_.size(); }
    bool isNull() const { return normal_.isNull(); }

private:
    QImage normal_;
    QImage doubled_;
};

// 2 on screens denser than 1 device pixel per logical pixel, else 1: the scale a control
// paints its image at.
int PaintScale(const QWidget* widget);

// Frame `index` (from 0) of a strip of `frames` frames side by side.
QImage CutFrame(const QImage& strip, int index, int frames = 5);

// Resizes `frame` to `size` device pixels keeping its halves: the left half unchanged at the
// left edge, the right half at the right edge, the middle column stretched over the gap; the
// same vertically. A size below the frame's keeps the outer parts of both halves.
QImage HalfKeep(const QImage& frame, QSize size);

// `image` at `scale` device pixels per logical pixel (pixels repeated, not blurred).
QImage ToScale(const QImage& image, int scale);

// The picture with every pixel of `transparent` colour left out.
QImage KeyOut(const QImage& picture, QColor transparent);

// The picture's silhouette: every pixel unlike its bottom-left pixel in `face`, the rest left
// out.
QImage Silhouette(const QImage& picture, QColor face);

} // namespace skin
