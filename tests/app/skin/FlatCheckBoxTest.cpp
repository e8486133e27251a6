// The flat check box: the check list's box in the standard check box's place.

#include "app/skin/FlatCheckBox.h"
#include "SkinTestSupport.h"

#include <QTest>

class FlatCheckBoxTest : public QObject {
    Q_OBJECT

private slots:
    void drawsTheFlatBoxWhereTheClickTogglesIt() {
        FlatCheckBox box(QStringLiteral("Always Overwrite Exist File."));
        box.resize(169, 17);
        QVERIFY(skintest::ShowActive(box));
        const QRect at = box.BoxRect();
        QCOMPARE(at.size(), QSize(skin::kCheckBoxSize, skin::kCheckBoxSize));
        QImage image = box.grab().toImage();
        QCOMPARE(QColor(image.pixel(at.topLeft())), QColor(128, 128, 128));
        QCOMPARE(QColor(image.pixel(at.center())), QColor(Qt::white));

        QTest::mouseClick(&box, Qt::LeftButton, {}, at.center());
        QVERIFY(box.isChecked());
        image = box.grab().toImage();
        // The tick crosses the box's lower middle.
        QVERIFY(qGray(image.pixel(at.left() + 4, at.top() + 7)) < 128);
    }
};

QTEST_MAIN(FlatCheckBoxTest)
#include "FlatCheckBoxTest.moc"
