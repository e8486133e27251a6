// The device selector: its drop button, and the close-up that tells the user closed the list,
// after the chosen entry has become current, and not when the list closes for other reasons.

#include "gui/skin/FlatComboBox.h"
#include "SkinTestSupport.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include <functional>

class FlatComboBoxTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window_;
    FlatComboBox* combo_ = nullptr;
    QList<QString> seen_; // the current entry at each close-up

    QWidget* List() const { return combo_->view()->window(); }

    void OpenByClick() {
        QTest::mouseClick(combo_, Qt::LeftButton, {}, QPoint(20, 10));
        QTRY_VERIFY(List()->isVisible());
        // The list ignores a release that follows its opening too closely.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    }

private slots:
    void init() {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 200);
        combo_ = new FlatComboBox(window_.get());
        combo_->setGeometry(49, 59, 127, 21);
        combo_->addItems({QStringLiteral("[IPOD] - e:"), QStringLiteral("[NANO] - f:"),
                          QStringLiteral("[MINI] - g:")});
        seen_.clear();
        connect(combo_, &FlatComboBox::closeUp, this,
                [this] { seen_.append(combo_->currentText()); });
        QVERIFY(skintest::ShowActive(*window_));
    }
    void cleanup() { window_.reset(); }

    void dropButtonSitsOverTheRightEdgeAndFollows() {
        QCOMPARE(combo_->dropButton()->geometry(), QRect(107, 2, 18, 17));
        combo_->setGeometry(10, 10, 150, 25);
        QCOMPARE(combo_->dropButton()->geometry(), QRect(130, 2, 18, 21));
        combo_->hide();
        QVERIFY(!combo_->dropButton()->isVisible());
    }

    void dropButtonPaintsItsRowsAndBorder() {
        const QImage image = static_cast<FlatComboDropButton*>(combo_->dropButton())->Render(1);
        const struct {
            int x, y;
            QColor colour;
        } pixels[] = {{8, 0, {194, 195, 200}},  {0, 8, {169, 173, 182}},  {8, 16, {169, 173, 182}},
                      {17, 8, {128, 128, 128}}, {1, 1, {246, 249, 254}},  {1, 6, {241, 243, 250}},
                      {1, 7, {238, 241, 249}},  {1, 10, {236, 239, 246}}, {1, 11, {228, 231, 238}},
                      {1, 15, {205, 209, 218}}};
        for (const auto& p : pixels)
            QCOMPARE(QColor(image.pixel(p.x, p.y)), p.colour);
    }

    void glyphLightsWhileTheMouseIsOverTheSelector() {
        auto* drop = static_cast<FlatComboDropButton*>(combo_->dropButton());
        // A pixel on the glyph's stroke: the middle of its chevron.
        const QRgb dark = drop->Render(1).pixel(8, 10);
        QTest::mouseMove(combo_, QPoint(20, 10));
        QTRY_VERIFY(combo_->isHovered());
        const QRgb lit = drop->Render(1).pixel(8, 10);
        QVERIFY(lit != dark);
        QVERIFY(qBlue(lit) > qRed(lit) + 60);
        QTest::mouseMove(window_.get(), QPoint(250, 180));
        QTRY_VERIFY(!combo_->isHovered());
        QCOMPARE(drop->Render(1).pixel(8, 10), dark);
    }

    void choosingAnEntryClosesUpWithItCurrent() {
        OpenByClick();
        QAbstractItemView* view = combo_->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(2, 0)).center());
        QTRY_COMPARE(seen_, QList<QString>{QStringLiteral("[MINI] - g:")});
        QVERIFY(!List()->isVisible());
    }

    void dropButtonOpensAndEnterChooses() {
        QTest::mouseClick(combo_->dropButton(), Qt::LeftButton, {}, QPoint(9, 8));
        QTRY_VERIFY(List()->isVisible());
        QTest::keyClick(combo_->view(), Qt::Key_Down);
        QTest::keyClick(combo_->view(), Qt::Key_Return);
        QTRY_COMPARE(seen_, QList<QString>{QStringLiteral("[NANO] - f:")});
        // The press on the drop button gave the selector its window's focus.
        QCOMPARE(window_->focusWidget(), combo_);
    }

    void escapeClosesUpWithTheEntryUnchanged() {
        combo_->setCurrentIndex(1);
        OpenByClick();
        QTest::keyClick(combo_->view(), Qt::Key_Escape);
        QTRY_COMPARE(seen_, QList<QString>{QStringLiteral("[NANO] - f:")});
    }

    void noCloseUpWhenTheListClosesForOtherReasons_data() {
        QTest::addColumn<int>("reason");
        QTest::newRow("control hidden") << 0;
        QTest::newRow("control disabled") << 1;
        QTest::newRow("window hidden") << 2;
        QTest::newRow("window minimised") << 3;
    }
    void noCloseUpWhenTheListClosesForOtherReasons() {
        QFETCH(int, reason);
        OpenByClick();
        const std::function<void()> close[] = {
            [this] { combo_->hide(); }, [this] { combo_->setEnabled(false); },
            [this] { window_->hide(); }, [this] { window_->showMinimized(); }};
        close[reason]();
        QTRY_VERIFY(!List()->isVisible());
        QTest::qWait(50);
        QCOMPARE(seen_, QList<QString>{});
        // Shown again and closed by the user, it closes up as before.
        window_->showNormal();
        combo_->setEnabled(true);
        combo_->show();
        QVERIFY(skintest::ShowActive(*window_));
        OpenByClick();
        QTest::keyClick(combo_->view(), Qt::Key_Escape);
        QTRY_COMPARE(seen_.size(), 1);
    }
};

QTEST_MAIN(FlatComboBoxTest)
#include "FlatComboBoxTest.moc"
