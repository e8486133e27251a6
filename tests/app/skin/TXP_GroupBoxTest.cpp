// The group box's flat frame with the caption set into its top line.

#include "gui/skin/TXP_GroupBox.h"

#include <QFontMetrics>
#include <QTest>

class TXP_GroupBoxTest : public QObject {
    Q_OBJECT

private slots:
    void frameRunsFromHalfTheCaptionAndTheCaptionClearsItsLine() {
        TXP_GroupBox group(QStringLiteral("General Options"));
        group.resize(217, 201);
        group.setBorderColor(QColor(200, 0, 0));
        group.setBackgroundColor(QColor(219, 219, 229));
        const int line = QFontMetrics(group.font()).height() / 2;
        const QImage image = group.Render(1);
        const QColor border(200, 0, 0), background(219, 219, 229);
        QCOMPARE(QColor(image.pixel(0, 100)), border);   // left side
        QCOMPARE(QColor(image.pixel(216, 100)), border); // right side
        QCOMPARE(QColor(image.pixel(100, 200)), border); // bottom
        QCOMPARE(QColor(image.pixel(5, line)), border);  // top line, left of the caption
        QCOMPARE(QColor(image.pixel(200, line)), border);
        QCOMPARE(QColor(image.pixel(0, line - 2)), background); // above the frame
        QCOMPARE(QColor(image.pixel(11, line)), background);    // cleared for the caption
        QCOMPARE(QColor(image.pixel(100, 100)), background);
    }

    void captionColourAndGreyWhenDisabled() {
        TXP_GroupBox group(QStringLiteral("MMMM"));
        group.resize(120, 60);
        group.setCaptionColor(QColor(0, 0, 250));
        auto inkOf = [&] {
            const QImage image = group.Render(1);
            QColor darkest = Qt::white;
            for (int y = 0; y < 14; ++y)
                for (int x = 12; x < 40; ++x)
                    if (QColor(image.pixel(x, y)).lightness() < darkest.lightness())
                        darkest = image.pixel(x, y);
            return darkest;
        };
        QCOMPARE(inkOf(), QColor(0, 0, 250));
        group.setEnabled(false);
        QCOMPARE(inkOf(), QColor(128, 128, 128));
    }
};

QTEST_MAIN(TXP_GroupBoxTest)
#include "TXP_GroupBoxTest.moc"
