// The progress bar's fill rule and what it paints, on pictures whose colours tell them apart.

#include "gui/skin/SkinProgressBar.h"
#include "SkinTestSupport.h"

#include <QTest>

namespace {

const QRgb kBackground = qRgb(90, 90, 90);
const QRgb kFill = qRgb(0, 220, 0);
const QRgb kHead = qRgb(0, 0, 230);
const QRgb kParent = qRgb(255, 0, 255);

} // namespace

class SkinProgressBarTest : public QObject {
    Q_OBJECT

private slots:
    void fillLength_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("expected");
        QTest::newRow("at the minimum") << 257 << 0 << 100 << 0 << 0;
        QTest::newRow("below the minimum") << 257 << 0 << 100 << -3 << 0;
        QTest::newRow("middle") << 200 << 0 << 100 << 37 << 74;
        QTest::newRow("rounds to nearest") << 257 << 0 << 450 << 100 << 57;
        QTest::newRow("half goes down to even") << 10 << 0 << 4 << 1 << 2;
        QTest::newRow("half goes up to even") << 10 << 0 << 4 << 3 << 8;
        QTest::newRow("half of the copy bar") << 257 << 0 << 450 << 225 << 128;
        QTest::newRow("counted from the minimum") << 10 << 2 << 6 << 5 << 8;
        QTest::newRow("at the maximum") << 257 << 0 << 450 << 450 << 257;
        QTest::newRow("above the maximum") << 257 << 0 << 450 << 600 << 257;
        QTest::newRow("empty range") << 257 << 5 << 5 << 6 << 257;
    }
    void fillLength() {
        QFETCH(int, width);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, position);
        QFETCH(int, expected);
        QCOMPARE(SkinProgressBar::FillLength(width, minimum, maximum, position), expected);
    }

    // The painted bar: fill tiles up to the length, the head after them, nothing outside.
    void paintsFillAndHead_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("fill");
        QTest::newRow("minimum: background only") << 0 << 0;
        QTest::newRow("middle") << 225 << 128;
        QTest::newRow("above the maximum: full") << 600 << 257;
    }
    void paintsFillAndHead() {
        QFETCH(int, position);
        QFETCH(int, fill);
        QWidget parent;
        parent.resize(300, 40);
        parent.setAutoFillBackground(true);
        QPalette colours = parent.palette();
        colours.setColor(QPalette::Window, QColor(kParent));
        parent.setPalette(colours);
        auto* bar = new SkinProgressBar(&parent);
        bar->setGeometry(10, 10, 257, 11);
        bar->setPictures(skin::Picture(skintest::Solid(QSize(4, 11), QColor(kBackground))),
                         skin::Picture(skintest::Solid(QSize(1, 10), QColor(kFill))),
                         skin::Picture(skintest::Solid(QSize(4, 12), QColor(kHead))));
        bar->setMaximum(450);
        bar->setPosition(position);
        const QImage image = parent.grab().toImage();
        for (int y : {10, 20}) { // the fill tile is stretched over the whole height
            for (int x = 0; x < 257; ++x) {
                const QRgb expected = x < fill                   ? kFill
                                      : fill > 0 && x < fill + 4 ? kHead
                                                                 : kBackground;
                QCOMPARE(QColor(image.pixel(10 + x, y)), QColor(expected));
            }
            for (int x : {9, 267, 268, 270})
                QCOMPARE(QColor(image.pixel(x, y)), QColor(kParent));
        }
        for (int x = 10; x < 267; ++x)
            QCOMPARE(QColor(image.pixel(x, 21)), QColor(kParent));
    }
};

QTEST_MAIN(SkinProgressBarTest)
#include "SkinProgressBarTest.moc"
