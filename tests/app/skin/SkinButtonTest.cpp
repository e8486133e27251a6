// The strip-skinned buttons driven by real mouse and key events: the frame each event shows,
// when the click fires, accelerators, pictures and names.

#include "gui/skin/SkinButton.h"
#include "gui/skin/TabButton.h"
#include "gui/skin/TitleBarButton.h"
#include "SkinTestSupport.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using State = SkinButton::State;

namespace {

// The frame a button shows, from a pixel of its painted image outside the caption.
int ShownFrame(SkinButton* button) {
    const QRgb pixel = button->grab().toImage().pixel(1, 1);
    for (int frame = 0; frame < 5; ++frame)
        if (pixel == skintest::FrameColour(frame))
            return frame;
    return -1;
}

constexpr int kNormal = 0, kPressed = 1, kDisabled = 2, kHover = 3, kFocused = 4;

} // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window_;
    SkinButton* button_ = nullptr;
    SkinButton* other_ = nullptr;
    std::unique_ptr<QSignalSpy> clicks_;

    QPoint Outside() const { return button_->rect().bottomRight() + QPoint(20, 20); }

private slots:
    void init() {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 200);
        button_ = new SkinButton(QStringLiteral("&Copy"), window_.get());
        button_->setGeometry(20, 20, 56, 29);
        button_->setStrip(skintest::SolidStrip(16, 29));
        other_ = new SkinButton(QStringLiteral("Other"), window_.get());
        other_->setGeometry(20, 120, 56, 29);
        clicks_ = std::make_unique<QSignalSpy>(button_, &SkinButton::clicked);
        QVERIFY(skintest::ShowActive(*window_));
        other_->setFocus();
    }
    void cleanup() {
        clicks_.reset();
        window_.reset();
    }

    void restsInTheNormalFrameAndFocusedWithFocus() {
        QCOMPARE(ShownFrame(button_), kNormal);
        button_->setFocus();
        QCOMPARE(ShownFrame(button_), kFocused);
    }

    void hoverShowsWhileTheMouseIsOver() {
        QTest::mouseMove(button_, QPoint(10, 10));
        QTRY_COMPARE(ShownFrame(button_), kHover);
        QTest::mouseMove(window_.get(), QPoint(200, 100));
        QTRY_COMPARE(ShownFrame(button_), kNormal);
    }

    void pressShowsPressedTakesFocusAndReleaseClicks() {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(ShownFrame(button_), kPressed);
        QVERIFY(button_->hasFocus());
        QCOMPARE(clicks_->count(), 0);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(clicks_->count(), 1);
        // After the release the button rests, with the focus.
        QCOMPARE(ShownFrame(button_), kFocused);
    }

    void pressMoveOffAndReleaseDoesNotClick() {
        QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(button_, Outside());
        QCOMPARE(ShownFrame(button_), kFocused);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, Outside());
        QCOMPARE(clicks_->count(), 0);
    }

    void pressBegunElsewhereDoesNotClickOnRelease() {
        QTest::mousePress(window_.get(), Qt::LeftButton, {}, QPoint(200, 100));
        QTest::mouseMove(window_.get(), QPoint(30, 30));
        QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(clicks_->count(), 0);
    }

    void doubleClickPressesAndClicksOnRelease() {
        QTest::mouseDClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(ShownFrame(button_), kPressed);
        const int before = clicks_->count();
        QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks_->count(), before + 1);
    }

    void disabledShowsTheDisabledFrameAndNeverClicks() {
        button_->setEnabled(false);
        QCOMPARE(ShownFrame(button_), kDisabled);
        QTest::mouseMove(button_, QPoint(10, 10));
        QCOMPARE(ShownFrame(button_), kDisabled);
        QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
        QTest::qWait(250);
        QCOMPARE(clicks_->count(), 0);
        QVERIFY(!button_->hasFocus());
    }

    void keysPressOnDownAndClickOnUp_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void keysPressOnDownAndClickOnUp() {
        QFETCH(int, key);
        button_->setFocus();
        QTest::keyPress(button_, Qt::Key(key));
        QCOMPARE(ShownFrame(button_), kPressed);
        QCOMPARE(clicks_->count(), 0);
        QTest::keyRelease(button_, Qt::Key(key));
        QCOMPARE(clicks_->count(), 1);
        QCOMPARE(ShownFrame(button_), kFocused);
    }

    void acceleratorClicksAndGivesFocus() {
        QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(clicks_->count(), 1);
        QVERIFY(button_->hasFocus());
    }

    void pictureAloneStandsInTheMiddle() {
        auto* lone = new SkinButton(window_.get());
        lone->setStrip(skintest::SolidStrip(25, 22));
        lone->resize(18, 18);
        lone->setPicture(skin::Picture(skintest::Solid(QSize(10, 10), Qt::blue)));
        lone->setPictureOffset(2);
        const QImage image = lone->Render(State::Normal, 1);
        QCOMPARE(image.pixel(4, 4), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(13, 13), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(3, 3), skintest::FrameColour(kNormal));
        QCOMPARE(image.pixel(14, 14), skintest::FrameColour(kNormal));
    }

    void pictureAboveAndLeftOfTheCaption() {
        const QFontMetrics metrics(button_->font());
        button_->resize(80, 60);
        button_->setText(QStringLiteral("Go"));
        button_->setPicture(skin::Picture(skintest::Solid(QSize(10, 10), Qt::blue)));
        button_->setPictureOffset(4);
        const int blockTop = (60 - (10 + 4 + metrics.height())) / 2;
        QImage image = button_->Render(State::Normal, 1);
        QCOMPARE(image.pixel(35, blockTop), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(35, blockTop - 1), skintest::FrameColour(kNormal));
        button_->setPicturePosition(SkinButton::PicturePosition::Left);
        const int blockLeft = (80 - (10 + 4 + metrics.horizontalAdvance(QStringLiteral("Go")))) / 2;
        image = button_->Render(State::Normal, 1);
        QCOMPARE(image.pixel(blockLeft, 25), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(blockLeft - 1, 25), skintest::FrameColour(kNormal));
    }

    void transparentColourShowsTheFrameAndDisabledShowsTheSilhouette() {
        QImage picture = skintest::Solid(QSize(10, 10), Qt::red);
        picture.setPixel(5, 5, qRgb(0, 0, 255));
        auto* lone = new SkinButton(window_.get());
        lone->setStrip(skintest::SolidStrip(25, 22));
        lone->resize(18, 18);
        lone->setPicture(skin::Picture(picture));
        lone->setPictureTransparent(true, Qt::red);
        QImage image = lone->Render(State::Normal, 1);
        QCOMPARE(image.pixel(4, 4), skintest::FrameColour(kNormal));
        QCOMPARE(image.pixel(9, 9), qRgb(0, 0, 255));
        const QRgb face = lone->palette().color(QPalette::Button).rgb();
        image = lone->Render(State::Disabled, 1);
        QCOMPARE(image.pixel(9, 9), face);
        QCOMPARE(image.pixel(4, 4), skintest::FrameColour(kDisabled));
    }

    void accessibleNameIsTheCaptionOrTheHint() {
        QAccessibleInterface* copy = QAccessible::queryAccessibleInterface(button_);
        QVERIFY(copy);
        QCOMPARE(copy->text(QAccessible::Name), QStringLiteral("Copy"));
        auto* close = new TitleBarButton(TitleBarButton::Kind::Close, window_.get());
        QCOMPARE(QAccessible::queryAccessibleInterface(close)->text(QAccessible::Name),
                 QStringLiteral("Close"));
        QCOMPARE(close->toolTip(), QStringLiteral("Close"));
        QCOMPARE(close->size(), QSize(18, 18));
        QCOMPARE(close->focusPolicy(), Qt::StrongFocus);
    }

    void tabFocusReachesTheButtons() {
        other_->setFocus();
        QTest::keyClick(other_, Qt::Key_Tab);
        QVERIFY(button_->hasFocus());
    }

    void activeTabIsTallerWithItsFootInLine() {
        auto* tab = new TabButton(QStringLiteral("Artist"), window_.get());
        tab->setGeometry(7, 14, 59, 18);
        tab->setActive(true);
        QCOMPARE(tab->geometry(), QRect(7, 12, 59, 20));
        QCOMPARE(tab->captionColor(), QColor(Qt::black));
        tab->setActive(false);
        QCOMPARE(tab->geometry(), QRect(7, 14, 59, 18));
        QCOMPARE(tab->captionColor(), QColor(105, 105, 105));
    }
};

QTEST_MAIN(SkinButtonTest)
#include "SkinButtonTest.moc"
