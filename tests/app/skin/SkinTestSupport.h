#pragma once

// Helpers of the skin tests: strips and pictures whose pixels tell where they came from.

#include "gui/skin/SkinPicture.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

namespace skintest {

// A strip of five frames, each filled with one colour: frame k is Colour(k).
inline QRgb FrameColour(int frame) {
    static const QRgb colours[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200),
                                   qRgb(200, 200, 0), qRgb(0, 200, 200)};
    return colours[frame];
}

inline skin::Picture SolidStrip(int frameWidth, int height) {
    QImage strip(frameWidth * 5, height, QImage::Format_ARGB32);
    for (int frame = 0; frame < 5; ++frame)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < frameWidth; ++x)
                strip.setPixel(frame * frameWidth + x, y, FrameColour(frame));
    return skin::Picture(strip);
}

// A strip whose every pixel is distinct: red = column within the frame, green = row,
// blue = 40 * frame + 1.
inline QImage CodedStrip(int frameWidth, int height) {
    QImage strip(frameWidth * 5, height, QImage::Format_ARGB32);
    for (int frame = 0; frame < 5; ++frame)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < frameWidth; ++x)
                strip.setPixel(frame * frameWidth + x, y, qRgb(x, y, 40 * frame + 1));
    return strip;
}

inline QImage Solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A top-level window holding the controls under test, shown and active.
inline bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace skintest
