// The image operations behind the skinned controls: frames, the half-keep resize,
// transparency and silhouettes.

#include "gui/skin/SkinPicture.h"
#include "SkinTestSupport.h"

#include <QTest>

namespace {

// A one-row (or one-column) picture whose pixels are the letters of `pixels`.
QImage Row(const QString& pixels) {
    QImage image(pixels.size(), 1, QImage::Format_ARGB32);
    for (int x = 0; x < pixels.size(); ++x)
        image.setPixel(x, 0, qRgb(pixels[x].unicode(), 0, 0));
    return image;
}

QString Letters(const QImage& image) {
    QString letters;
    for (int x = 0; x < image.width(); ++x)
        letters += QChar(qRed(image.pixel(x, 0)));
    return letters;
}

} // namespace

class SkinPictureTest : public QObject {
    Q_OBJECT

private slots:
    void halfKeepAlongOneAxis_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("even, same width") << "ABCD" << 4 << "ABCD";
        QTest::newRow("even, wider") << "ABCD" << 7 << "ABCCCCD";
        QTest::newRow("odd, same width") << "ABCDE" << 5 << "ABCDE";
        QTest::newRow("odd, wider") << "ABCDE" << 8 << "ABCCCCDE";
        QTest::newRow("odd, one wider") << "ABCDE" << 6 << "ABCCDE";
        QTest::newRow("narrower keeps both edges") << "ABCDE" << 3 << "ABE";
        QTest::newRow("even, narrower") << "ABCDEF" << 4 << "ABEF";
        QTest::newRow("one pixel") << "ABCD" << 1 << "A";
    }
    void halfKeepAlongOneAxis() {
        QFETCH(QString, frame);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(Letters(skin::HalfKeep(Row(frame), QSize(width, 1))), expected);
        // Rows follow the same rule as columns.
        const QImage column = Row(frame).transformed(QTransform().rotate(90));
        const QImage tall = skin::HalfKeep(column, QSize(1, width));
        QCOMPARE(Letters(tall.transformed(QTransform().rotate(-90))), expected);
    }

    // Both axes at once, pixel by pixel, on a frame cut out of a strip.
    void halfKeepFrameOfStripPixelByPixel() {
        const QImage strip = skintest::CodedStrip(16, 29);
        const QImage frame = skin::CutFrame(strip, 3);
        QCOMPARE(frame.size(), QSize(16, 29));
        const QImage button = skin::HalfKeep(frame, QSize(56, 33));
        QCOMPARE(button.size(), QSize(56, 33));
        for (int y = 0; y < 33; ++y) {
            const int row = y < 14 ? y : y >= 33 - 14 ? y - 4 : 14;
            for (int x = 0; x < 56; ++x) {
                const int column = x < 8 ? x : x >= 48 ? x - 40 : 8;
                QCOMPARE(QColor(button.pixel(x, y)), QColor(qRgb(column, row, 121)));
            }
        }
    }

    void keyOutLeavesOutTheTransparentColourOnly() {
        QImage picture = skintest::Solid(QSize(3, 1), Qt::red);
        picture.setPixel(1, 0, qRgb(254, 0, 0));
        const QImage keyed = skin::KeyOut(picture, Qt::red);
        QCOMPARE(qAlpha(keyed.pixel(0, 0)), 0);
        QCOMPARE(keyed.pixel(1, 0), qRgb(254, 0, 0));
    }

    void silhouettePaintsAllButTheBottomLeftColour() {
        QImage picture = skintest::Solid(QSize(3, 3), Qt::red);
        picture.setPixel(1, 1, qRgb(10, 20, 30));
        picture.setPixel(2, 0, qRgb(40, 50, 60));
        const QImage shadow = skin::Silhouette(picture, QColor(240, 240, 240));
        QCOMPARE(shadow.pixel(1, 1), qRgb(240, 240, 240));
        QCOMPARE(shadow.pixel(2, 0), qRgb(240, 240, 240));
        QCOMPARE(qAlpha(shadow.pixel(0, 2)), 0);
        QCOMPARE(qAlpha(shadow.pixel(0, 0)), 0);
    }

    void everyPictureHasItsSizeAndADoubleOne_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        const struct {
            const char* name;
            QSize size;
        } pictures[] = {
            {"button", {80, 29}},
            {"titlebutton", {125, 22}},
            {"tab", {80, 16}},
            {"progress_background", {4, 11}},
            {"progress_fill", {1, 10}},
            {"progress_head", {4, 12}},
            {"drop_normal", {11, 11}},
            {"drop_hover", {11, 11}},
            {"glyph_minimize", {10, 10}},
            {"glyph_close", {10, 10}},
            {"glyph_web", {10, 10}},
            {"title_corner_left", {9, 31}},
            {"title_corner_right", {9, 31}},
            {"title_decoration_left", {32, 32}},
            {"title_decoration_right", {32, 32}},
            {"status_cap_left", {13, 24}},
            {"status_cap_right", {13, 24}},
            {"bottom_cap_left", {13, 18}},
            {"bottom_cap_right", {13, 18}},
            {"panel_corner_top_left", {3, 3}},
            {"panel_corner_bottom_left", {5, 4}},
            {"search_caption", {32, 10}},
            {"device_caption", {19, 10}},
            {"search_frame", {126, 21}},
            {"bar_cap_left", {13, 29}},
            {"bar_cap_right", {13, 29}},
            {"play", {16, 16}},
        };
        for (const auto& picture : pictures)
            QTest::newRow(picture.name) << QString::fromLatin1(picture.name) << picture.size;
    }
    void everyPictureHasItsSizeAndADoubleOne() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const skin::Picture picture = skin::Picture::Load(name);
        QCOMPARE(picture.size(), size);
        QCOMPARE(picture.At(1).devicePixelRatio(), 1.0);
        QCOMPARE(picture.At(2).size(), size * 2);
        QCOMPARE(picture.At(2).devicePixelRatio(), 2.0);
    }

    void titleGlyphsAreKeyedOnRedWithARedBottomLeftPixel() {
        for (const char* name : {"glyph_minimize", "glyph_close", "glyph_web"}) {
            for (int scale : {1, 2}) {
                const QImage glyph = skin::Picture::Load(QString::fromLatin1(name)).At(scale);
                QCOMPARE(glyph.pixel(0, glyph.height() - 1), qRgb(255, 0, 0));
                // Opaque everywhere: what is not the glyph is the transparent colour.
                for (int y = 0; y < glyph.height(); ++y)
                    for (int x = 0; x < glyph.width(); ++x)
                        QCOMPARE(qAlpha(glyph.pixel(x, y)), 255);
            }
        }
    }
};

QTEST_MAIN(SkinPictureTest)
#include "SkinPictureTest.moc"
