// The flat check box: the check list's box where the standard check box takes its click.

#include "gui/skin/FlatCheckBox.h"
#include "SkinTestSupport.h"

class FlatCheckBoxTest : public QObject {
    Q_OBJECT

private slots:
    void drawsTheFlatBoxWhereAClickTogglesIt() {
        FlatCheckBox box(QStringLiteral("Always Overwrite Exist File."));
        box.resize(169, 17);
        QVERIFY(skintest::ShowActive(box));
        const QRect at = box.BoxRect();
        QCOMPARE(QColor(box.grab().toImage().pixel(at.topLeft())), QColor(128, 128, 128));
        QTest::mouseClick(&box, Qt::LeftButton, {}, at.center());
        QVERIFY(box.isChecked());
        // The tick crosses the box's lower middle.
        QVERIFY(qGray(box.grab().toImage().pixel(at.left() + 4, at.top() + 7)) < 128);
    }
};

QTEST_MAIN(FlatCheckBoxTest)
#include "FlatCheckBoxTest.moc"
