// The check list: its check event comes from the user's toggles only.

#include "gui/skin/FlatCheckListBox.h"
#include "SkinTestSupport.h"

#include <QSignalSpy>
#include <QTest>

class FlatCheckListBoxTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FlatCheckListBox> list_;
    std::unique_ptr<QSignalSpy> checks_;

private slots:
    void init() {
        list_ = std::make_unique<FlatCheckListBox>();
        list_->resize(105, 161);
        checks_ = std::make_unique<QSignalSpy>(list_.get(), &FlatCheckListBox::clickCheck);
        for (const char* name : {"Title", "File Size", "Album"})
            list_->addCheckItem(QString::fromLatin1(name), true);
        QVERIFY(skintest::ShowActive(*list_));
    }
    void cleanup() {
        checks_.reset();
        list_.reset();
    }

    void itemsAreOfTheSetHeight() { QCOMPARE(list_->visualItemRect(list_->item(1)).height(), 13); }

    void clickOnTheBoxTogglesAndTells() {
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, list_->CheckRect(1).center());
        QVERIFY(!list_->isChecked(1));
        QCOMPARE(checks_->count(), 1);
        QCOMPARE(checks_->at(0).at(0).toInt(), 1);
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, list_->CheckRect(1).center());
        QVERIFY(list_->isChecked(1));
        QCOMPARE(checks_->count(), 2);
    }

    void spaceTogglesTheCurrentItemAndTells() {
        list_->setCurrentRow(2);
        QTest::keyClick(list_->viewport(), Qt::Key_Space);
        QVERIFY(!list_->isChecked(2));
        QCOMPARE(checks_->count(), 1);
        QCOMPARE(checks_->at(0).at(0).toInt(), 2);
    }

    void stateSetInCodeTellsNothing() {
        list_->setChecked(0, false);
        list_->addCheckItem(QStringLiteral("Artist"), true);
        list_->setChecked(3, false);
        QVERIFY(!list_->isChecked(0));
        QCOMPARE(checks_->count(), 0);
    }

    void clickOnTheTextOnlySelects() {
        const QRect row = list_->visualItemRect(list_->item(0));
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {},
                          QPoint(row.right() - 5, row.center().y()));
        QVERIFY(list_->isChecked(0));
        QCOMPARE(list_->currentRow(), 0);
        QCOMPARE(checks_->count(), 0);
    }

    void paintsItsBorderAndAnInnerRing() {
        list_->setBorderColor(QColor(224, 0, 0));
        const QImage image = list_->grab().toImage();
        QCOMPARE(QColor(image.pixel(0, 50)), QColor(224, 0, 0));
        QCOMPARE(QColor(image.pixel(104, 50)), QColor(224, 0, 0));
        QCOMPARE(QColor(image.pixel(1, 50)), QColor(219, 219, 229));
        QCOMPARE(QColor(image.pixel(50, 159)), QColor(219, 219, 229));
    }
};

QTEST_MAIN(FlatCheckListBoxTest)
#include "FlatCheckListBoxTest.moc"
