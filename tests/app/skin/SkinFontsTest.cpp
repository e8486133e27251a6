// The skin's fonts are installed here, the program's captions fit their buttons in them, and
// Windows' own families fall back on them.

#include "gui/skin/SkinFonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

class SkinFontsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
#ifdef _WIN32
        // That platform there draws with Qt's own font folder, which is empty, not Windows' fonts.
        if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
            QSKIP("The offscreen platform on Windows sees none of the installed fonts");
#endif
    }

    void aListedFamilyIsFound() {
        QVERIFY2(skin::ControlFamilies().contains(QFontInfo(skin::ButtonFont()).family()),
                 qPrintable(QFontInfo(skin::ButtonFont()).family()));
        QVERIFY2(skin::TableFamilies().contains(QFontInfo(skin::TableFont()).family()),
                 qPrintable(QFontInfo(skin::TableFont()).family()));
        QCOMPARE(QFontInfo(skin::ButtonFont()).pixelSize(), 11);
        QVERIFY(QFontInfo(skin::ButtonFont()).bold());
    }

    // The faces of Windows' dialogs and message boxes: theirs, or one of the skin's fallbacks
    // (never the serif a font mapper picks for a family it lacks).
    void windowsFamiliesFallBackOnTheSkinsFaces_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("fallbacks");
        for (const char* family : {"MS Shell Dlg 2", "MS Shell Dlg", "MS Sans Serif"})
            QTest::newRow(family) << QString::fromLatin1(family) << skin::ControlFamilies();
        QTest::newRow("Tahoma") << QStringLiteral("Tahoma") << skin::TableFamilies();
    }
    void windowsFamiliesFallBackOnTheSkinsFaces() {
        QFETCH(QString, family);
        QFETCH(QStringList, fallbacks);
        const QString found = QFontInfo(QFont(family)).family();
        QVERIFY2(found == family || fallbacks.contains(found), qPrintable(found));
    }

    void captionsFitTheirButtons_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("button");
        const struct {
            const char* caption;
            QSize size;
        } buttons[] = {{"Copy", {56, 29}},
                       {"Stop", {56, 29}},
                       {"Option", {56, 29}},
                       {"WebSite", {56, 29}},
                       {"Save", {96, 29}},
                       {"Cancel", {96, 29}},
                       {"Restore Default", {105, 29}},
                       {"Open Directory", {92, 29}},
                       {"Close", {92, 29}},
                       {"Artist", {59, 18}},
                       {"Album", {60, 18}},
                       {"File Type", {61, 18}}};
        for (const auto& b : buttons)
            QTest::newRow(b.caption) << QString::fromLatin1(b.caption) << b.size;
    }
    void captionsFitTheirButtons() {
        QFETCH(QString, caption);
        QFETCH(QSize, button);
        const QFontMetrics metrics(skin::ButtonFont());
        // Room for the frame's rounded edges on both sides.
        QVERIFY2(metrics.horizontalAdvance(caption) + 2 * 5 <= button.width(),
                 qPrintable(QString::number(metrics.horizontalAdvance(caption))));
        QVERIFY(metrics.height() + 2 <= button.height());
    }
};

QTEST_MAIN(SkinFontsTest)
#include "SkinFontsTest.moc"
