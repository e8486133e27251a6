// The frames of the main window and the report window: which areas move the window, the
// repaint after a move, the outline, where the windows open, keyboard focus and the names a
// screen reader reads. Mouse events go through the window system's path, to the widget under
// the point, as a user's do.
//
// Run once on the offscreen platform's own screen and once (the "placement" functions) on a
// 1280 x 800 screen at scale 2, where the main window is larger than the screen.

#include "app/GridView.h"
#include "app/TFormMain.h"
#include "app/WindowChrome.h"
#include "app/skin/SkinButton.h"
#include "app/skin/SkinPicture.h"
#include "app/skin/TitleBarButton.h"
#include "browser/TrackTableModel.h"
#include "copy/TFormReport.h"
#include "support/BuiltPlayer.h"
#include "support/WindowSandbox.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>

#include <map>
#include <memory>

namespace {

// Counts the paints of the widgets it watches.
class PaintCounter : public QObject {
public:
    std::map<const QObject*, int> paints;

    void Watch(QWidget* widget) {
        paints[widget] = 0;
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

// The widget the user hits at a point of the window.
QWidget* Under(QWidget* window, QPoint at) {
    QWidget* hit = window->childAt(at);
    return hit != nullptr ? hit : window;
}

// A widget by its path of object names below the window ("SongPanel/panel_corner_top_left").
QWidget* Named(QWidget* window, const QString& path) {
    QWidget* widget = window;
    for (const QString& name : path.split(u'/'))
        widget = widget != nullptr && name != window->objectName()
                     ? widget->findChild<QWidget*>(name)
                     : widget;
    return widget;
}

// A press of the left button, a move and the release: a drag over the point.
void DragOver(QWidget* window, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window, button, {}, at);
    QTest::mouseMove(window, at + QPoint(6, 4));
    QTest::mouseRelease(window, button, {}, at + QPoint(6, 4));
}

// Per axis: centred on the area when the window fits, else at the area's start.
int Placed(int areaStart, int areaLength, int length) {
    return length <= areaLength ? areaStart + (areaLength - length) / 2 : areaStart;
}

void AddAreaRows(const std::vector<std::tuple<const char*, QPoint, bool>>& rows) {
    QTest::addColumn<QString>("area");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("drags");
    for (const auto& [area, at, drags] : rows)
        QTest::newRow(area) << QString::fromLatin1(area) << at << drags;
}

} // namespace

class WindowChromeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::WindowSandbox> scratch_;

    std::unique_ptr<TFormMain> Start(std::vector<std::string> players = {}) {
        TMainEnvironment environment;
        environment.removableRoots = [] { return std::vector<std::string>(); };
        environment.extraPlayers = std::move(players);
        auto form = std::make_unique<TFormMain>(std::move(environment));
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            return nullptr;
        return form;
    }

    std::string SmallPlayer() {
        return testsupport::BuildPlayer(scratch_->path() / "player",
                                        {{"One", "A", "ONE.mp3"}, {"Two", "B", "TWO.mp3"}});
    }

    // A report window over an owner at `owner`, shown.
    struct Report {
        std::unique_ptr<QWidget> owner;
        std::unique_ptr<TFormReport> report;
        std::vector<std::string> titles{"One"};
        std::vector<std::string> targets{"/music/One.mp3"};
    };
    std::unique_ptr<Report> ShowReport(QRect owner) {
        auto shown = std::make_unique<Report>();
        shown->owner = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        shown->owner->setGeometry(owner);
        shown->owner->show();
        shown->report = std::make_unique<TFormReport>(
            shown->owner.get(), [](const std::string&) { return platform::Status::Ok(); });
        shown->report->SetTitleList(shown->titles);
        shown->report->SetTargetFiles(shown->targets);
        shown->report->ShowModal();
        if (!QTest::qWaitForWindowExposed(shown->report.get()))
            return nullptr;
        return shown;
    }

    void CheckDrag(QWidget* window, app::WindowDragger* dragger) {
        QFETCH(QString, area);
        QFETCH(QPoint, at);
        QFETCH(bool, drags);
        // The table names what lies on top at the point.
        QWidget* hit = Under(window, at);
        QCOMPARE(hit, Named(window, area));
        QSignalSpy started(dragger, &app::WindowDragger::DragStarted);
        DragOver(window, at);
        QCOMPARE(started.size(), drags ? 1 : 0);
        if (drags)
            QCOMPARE(started.front().front().value<QWidget*>(), hit);
    }

private slots:
    void init() { scratch_ = std::make_unique<testsupport::WindowSandbox>(); }
    void cleanup() { scratch_.reset(); }

    void mainWindowDragsByItsFreeAreasOnly_data() {
        AddAreaRows({
            {"FormMain", {4, 100}, true},
            {"TitleStrip", {100, 20}, true},
            {"TitleCornerLeft", {4, 12}, true},
            {"TitleCornerRight", {700, 12}, true},
            {"TitleDecorationLeft", {184, 16}, true},
            {"TitleDecorationRight", {504, 16}, true},
            {"StatusArea", {350, 32}, true},
            {"StatusCapLeft", {208, 14}, true},
            {"StatusCapRight", {480, 14}, true},
            {"Notifier", {345, 14}, true},
            {"ProgressBarItunes", {350, 43}, true},
            {"SideBorderLeft", {0, 200}, true},
            {"SideBorderRight", {704, 200}, true},
            {"BottomCapLeft", {6, 462}, true},
            {"BottomStrip", {350, 466}, true},
            {"BottomCapRight", {699, 462}, true},
            {"SongPanel", {11, 300}, true},
            {"SearchPanel", {600, 150}, true},
            {"ListPanel", {600, 397}, true},
            {"SearchPanel/search_caption", {533, 88}, true},
            {"SearchPanel/search_frame", {553, 91}, true},
            {"SearchPanel/device_caption", {532, 127}, true},
            // The button bar's caps and the panels' corners do not drag, nor do the controls.
            {"BarCapLeft", {510, 427}, false},
            {"BarCapRight", {691, 427}, false},
            {"SongPanel/panel_corner_top_left", {9, 57}, false},
            {"SongPanel/panel_corner_bottom_right", {494, 453}, false},
            {"SearchPanel/panel_corner_bottom_left", {506, 159}, false},
            {"ListPanel/panel_corner_top_right", {695, 177}, false},
            {"ButtonCopy", {650, 427}, false},
            {"XP_ButtonSmall1", {625, 19}, false},
            {"SearchPanel/Edit1", {600, 91}, false},
            {"ListPanel/AlbumTabButton", {600, 199}, false},
            {"SongPanel/AdvStringGridSong/qt_scrollarea_viewport", {200, 200}, false},
        });
    }
    void mainWindowDragsByItsFreeAreasOnly() {
        auto form = Start();
        QVERIFY(form != nullptr);
        CheckDrag(form.get(), form->Dragger);
    }

    void aClickOrAnotherButtonMovesNothing() {
        auto form = Start();
        QVERIFY(form != nullptr);
        QSignalSpy started(form->Dragger, &app::WindowDragger::DragStarted);
        QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(100, 20));
        DragOver(form.get(), QPoint(100, 20), Qt::RightButton);
        QTest::mouseMove(form.get(), QPoint(120, 24)); // no button held
        QCOMPARE(started.size(), 0);
        DragOver(form.get(), QPoint(100, 20));
        QCOMPARE(started.size(), 1);
    }

    void theGridsRepaintAfterAMove() {
        auto form = Start({SmallPlayer()});
        QVERIFY(form != nullptr);
        QCoreApplication::processEvents();
        PaintCounter counter;
        for (QTableView* grid :
             {form->AdvStringGridSong, form->ArtistList, form->AlbumList, form->FileTypeList})
            counter.Watch(grid->viewport());
        form->move(form->pos() + QPoint(30, 20));
        QTRY_VERIFY(counter.paints[form->AdvStringGridSong->viewport()] > 0);
        QTRY_VERIFY(counter.paints[form->ArtistList->viewport()] > 0);
        // The hidden lists are left alone.
        QCOMPARE(counter.paints[form->AlbumList->viewport()], 0);
        QCOMPARE(counter.paints[form->FileTypeList->viewport()], 0);
    }

    void theMainWindowsOutlineIsRounded() {
        TMainEnvironment environment;
        environment.removableRoots = [] { return std::vector<std::string>(); };
        TFormMain form(std::move(environment)); // set at construction, before any showing
        const QRegion outline = form.mask();
        for (QPoint inside : {QPoint(353, 238), QPoint(15, 0), QPoint(0, 15), QPoint(690, 475)})
            QVERIFY2(outline.contains(inside), qPrintable(QString::number(inside.x())));
        for (QPoint outside : {QPoint(0, 0), QPoint(705, 0), QPoint(0, 475), QPoint(705, 475),
                               QPoint(2, 2), QPoint(703, 473)})
            QVERIFY2(!outline.contains(outside), qPrintable(QString::number(outside.x())));
    }

    void theTrackTableShowsThePlaySymbolInColumnZero() {
        auto form = Start({SmallPlayer()});
        QVERIFY(form != nullptr);
        QTableView* table = form->AdvStringGridSong;
        const QImage shot =
            table->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage play = skin::Picture::Load(QStringLiteral("play"))
                                .At(1)
                                .convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < 2; ++row) {
            const QRect cell = table->visualRect(table->model()->index(row, 0));
            QCOMPARE(cell.width(), 16);
            // Unscaled, in the cell's top right corner: every opaque pixel of the picture.
            const QPoint origin = PlaySymbolDelegate::SymbolRect(cell).topLeft();
            QCOMPARE(origin, QPoint(cell.left(), cell.top()));
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (qAlpha(play.pixel(x, y)) == 255) {
                        ++opaque;
                        QCOMPARE(shot.pixel(origin + QPoint(x, y)), play.pixel(x, y));
                    }
            QVERIFY(opaque > 100);
        }
    }

    void tabOrderFollowsTheWindow() {
        auto form = Start({SmallPlayer()});
        QVERIFY(form != nullptr);
        form->AdvStringGridSong->setFocus();
        const QStringList expected{"AdvStringGridSong", "Edit1",
                                   "iPodSelectorCom",   "ArtistTabButton",
                                   "AlbumTabButton",    "FileTypeTabButton",
                                   "ArtistList",        "XP_Button5",
                                   "XP_Button3",        "ButtonCopy",
                                   "XP_ButtonSmall1",   "XP_ButtonSmall3",
                                   "XP_ButtonSmall2",   "AdvStringGridSong"};
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
        // Backwards from the table: the title bar's last button.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), form->XP_ButtonSmall2);
    }

    void everyControlHasTheNameAScreenReaderReads() {
        auto form = Start();
        QVERIFY(form != nullptr);
        const std::map<QString, QString> names{
            {"XP_Button5", "WebSite"},       {"XP_Button3", "Option"},
            {"ButtonCopy", "Copy"},          {"ArtistTabButton", "Artist"},
            {"AlbumTabButton", "Album"},     {"FileTypeTabButton", "File Type"},
            {"XP_ButtonSmall1", "Minimize"}, {"XP_ButtonSmall3", "Close"},
            {"XP_ButtonSmall2", "WebSite"},  {"Edit1", "Search"},
            {"iPodSelectorCom", "iPod"},     {"AdvStringGridSong", "Tracks"},
            {"ArtistList", "Artist"},        {"ProgressBarItunes", "Progress"}};
        for (const auto& [object, name] : names) {
            QWidget* widget = form->findChild<QWidget*>(object);
            QVERIFY2(widget != nullptr, qPrintable(object));
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(reader != nullptr, qPrintable(object));
            // Its own name, or the one its interface takes from the caption. (A reader on Linux
            // names a selector by its entry and reads the accessible name elsewhere.)
            const QString read = widget->accessibleName().isEmpty()
                                     ? reader->text(QAccessible::Name)
                                     : widget->accessibleName();
            QCOMPARE(read, name);
        }
        // Every skinned button takes the focus by the mouse and by Tab, as a push button does.
        int buttons = 0;
        for (const SkinButton* button : form->findChildren<SkinButton*>()) {
            QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
            buttons += button->window() == form.get() ? 1 : 0; // not the report's
        }
        QCOMPARE(buttons, 9);
    }

    // ---- Where the windows open (also run on a screen smaller than the main window) --------

    void placementOfTheMainWindow() {
        auto form = Start();
        QVERIFY(form != nullptr);
        const QRect area = form->screen()->availableGeometry();
        QCOMPARE(form->pos(), QPoint(Placed(area.left(), area.width(), 706),
                                     Placed(area.top(), area.height(), 476)));
        // The title strip starts on the screen, whatever its size.
        QVERIFY(area.contains(form->geometry().topLeft()));
    }

    void placementOfTheReport_data() {
        QTest::addColumn<QPoint>("owner"); // of a 706 x 476 owner, from the area's top left
        QTest::addColumn<bool>("inside");  // the centred report lies inside the area
        QTest::newRow("centred over the owner") << QPoint(0, 0) << true;
        QTest::newRow("owner past the bottom right") << QPoint(5000, 5000) << false;
        QTest::newRow("owner past the top left") << QPoint(-5000, -5000) << false;
    }
    void placementOfTheReport() {
        QFETCH(QPoint, owner);
        QFETCH(bool, inside);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect ownerAt(area.topLeft() + owner, QSize(706, 476));
        auto shown = ShowReport(ownerAt);
        QVERIFY(shown != nullptr);
        const QPoint at = shown->report->pos();
        const QPoint centred(ownerAt.left() + (706 - 431) / 2, ownerAt.top() + (476 - 277) / 2);
        if (inside && area.contains(QRect(centred, QSize(431, 277))))
            QCOMPARE(at, centred);
        // Always on the area, as far as it fits: its title strip is.
        QVERIFY(area.contains(at));
        if (area.width() >= 431 && area.height() >= 277)
            QVERIFY(area.contains(shown->report->geometry()));
    }

    // ---- The report window ------------------------------------------------------------------

    void reportDragsByItsBackgroundAndFrame_data() {
        AddAreaRows({
            {"FormReport", {100, 245}, true},
            {"TitleStrip", {300, 20}, true},
            {"Caption", {50, 15}, true},
            {"TitleCornerLeft", {4, 16}, true},
            {"TitleCornerRight", {427, 16}, true},
            {"SideBorderRight", {430, 150}, true},
            {"BottomCapLeft", {6, 271}, true},
            {"BottomStrip", {200, 271}, true},
            {"BottomCapRight", {425, 271}, true},
            // The left border and the top line do not, nor do the controls.
            {"SideBorderLeft", {0, 150}, false},
            {"TopLine", {200, 0}, false},
            {"OpenDir", {300, 245}, false},
            {"XP_ButtonSmall3", {378, 15}, false},
            {"Reporter/qt_scrollarea_viewport", {200, 100}, false},
        });
    }
    void reportDragsByItsBackgroundAndFrame() {
        auto shown = ShowReport(QRect(50, 50, 706, 476));
        QVERIFY(shown != nullptr);
        CheckDrag(shown->report.get(), shown->report->Dragger);
    }

    void theReportIsRoundedAtEveryShowingAndRepaintsAfterAMove() {
        auto shown = ShowReport(QRect(50, 50, 706, 476));
        QVERIFY(shown != nullptr);
        TFormReport* report = shown->report.get();
        QVERIFY(!report->mask().contains(QPoint(0, 0)));
        QVERIFY(report->mask().contains(QPoint(215, 138)));
        report->close();
        report->clearMask();
        report->ShowModal();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QVERIFY(!report->mask().contains(QPoint(430, 276)));
        QVERIFY(report->mask().contains(QPoint(215, 138)));

        QCoreApplication::processEvents();
        PaintCounter counter;
        counter.Watch(report->Reporter->viewport());
        report->move(report->pos() + QPoint(10, 10));
        QTRY_VERIFY(counter.paints[report->Reporter->viewport()] > 0);
    }
};

QTEST_MAIN(WindowChromeTest)
#include "WindowChromeTest.moc"
