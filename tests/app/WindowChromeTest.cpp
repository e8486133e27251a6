// The frames of the main window and the report window: which areas move the window, the
// repaint after a move, the outline, the play symbol, keyboard focus and the names a screen
// reader reads, and where the windows open. Mouse events go through the window system's path,
// to the widget under the point, as a user's do.
//
// Run once on the offscreen platform's own screen and once (the "placement" functions) on a
// 1280 x 800 screen at scale 2, which is smaller than the main window.

#include "gui/GridView.h"
#include "gui/TFormMain.h"
#include "gui/WindowChrome.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/TitleBarButton.h"
#include "gui/TFormReport.h"
#include "gui/TFormOption.h"
#include "support/SystemMove.h"
#include "support/BuiltPlayer.h"
#include "support/WindowSandbox.h"

#include <QAccessible>
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>

#include <map>
#include <memory>
#include <optional>

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
        paints[watched] += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// A widget by its path of object names below the window ("SongPanel/panel_corner_top_left");
// the window's own name is the window.
QWidget* Named(QWidget* window, const QString& path) {
    if (path == window->objectName())
        return window;
    QWidget* widget = window;
    for (const QString& name : path.split(u'/'))
        widget = widget != nullptr ? widget->findChild<QWidget*>(name) : nullptr;
    return widget;
}

struct Area {
    const char* path;
    QPoint at; // a point of the window where this area lies on top
};

bool OnWindowsPlatform() {
    return QGuiApplication::platformName() == QLatin1String("windows");
}

// A press of the left button on each area, a move and the release: the areas that move the
// window and those that do not.
void CheckDrags(QWidget* window, app::WindowDragger* dragger, std::initializer_list<Area> dragging,
                std::initializer_list<Area> still) {
    testsupport::EndSystemMoves(dragger, window);
    const std::initializer_list<Area> groups[] = {dragging, still};
    for (int group = 0; group < 2; ++group)
        for (const Area& area : groups[group]) {
            QWidget* hit = window->childAt(area.at) != nullptr ? window->childAt(area.at) : window;
            QVERIFY2(hit == Named(window, QString::fromLatin1(area.path)), area.path);
            QSignalSpy started(dragger, &app::WindowDragger::DragStarted);
            QTest::mousePress(window, Qt::LeftButton, {}, area.at);
            QTest::mouseMove(window, area.at + QPoint(6, 4));
            QTest::mouseRelease(window, Qt::LeftButton, {}, area.at + QPoint(6, 4));
            const bool drags = group == 0;
            QVERIFY2(started.size() == (drags ? 1 : 0), area.path);
            if (drags)
                QCOMPARE(started.front().front().value<QWidget*>(), hit);
        }
}

// Per axis: centred on the area when the window fits, else at the area's start.
// Where a widget was when its native window was made.
struct CreationWatch : QObject {
    explicit CreationWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange)
            at = static_cast<QWidget*>(watched)->pos();
        return false;
    }
    std::optional<QPoint> at;
};

int Placed(int areaStart, int areaLength, int length) {
    return length <= areaLength ? areaStart + (areaLength - length) / 2 : areaStart;
}

} // namespace

class WindowChromeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::WindowSandbox> scratch_;
    std::vector<std::string> titles_{"One"};
    std::vector<copy::TEntryResult> targets_{{copy::TCopyOutcome::Copied, "/music/One.mp3", {}}};

    std::unique_ptr<TFormMain> MakeForm(bool withPlayer = false) {
        TMainEnvironment environment;
        environment.removableRoots = [] { return std::vector<std::string>(); };
        if (withPlayer)
            environment.extraPlayers = {testsupport::BuildPlayer(
                scratch_->path() / "player", {{"One", "A", "ONE.mp3"}, {"Two", "B", "TWO.mp3"}})};
        return std::make_unique<TFormMain>(std::move(environment));
    }

    std::unique_ptr<TFormMain> Start(bool withPlayer = false) {
        auto form = MakeForm(withPlayer);
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get()) ? std::move(form) : nullptr;
    }

    // The report over a new owner window at `owner`, which `windows` keeps (with the report).
    TFormReport* ShowReport(QRect owner, std::vector<std::unique_ptr<QWidget>>& windows) {
        windows.push_back(std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint));
        windows.back()->setGeometry(owner);
        windows.back()->show();
        auto* report = new TFormReport(windows.back().get(),
                                       [](const std::string&) { return platform::Status::Ok(); });
        report->SetTitleList(titles_);
        report->SetTargetFiles(targets_);
        report->ShowModal();
        return QTest::qWaitForWindowExposed(report) ? report : nullptr;
    }

    // A frameless window of the program ("main", "report" or "options"), made but not shown;
    // `windows` keeps it and what it stands over.
    QWidget* Unshown(const QString& kind, std::vector<std::unique_ptr<QWidget>>& windows) {
        if (kind == "main") {
            windows.push_back(MakeForm());
            return windows.back().get();
        }
        if (kind == "options") {
            windows.push_back(Start());
            return static_cast<TFormMain*>(windows.back().get())->FormOption;
        }
        windows.push_back(std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint));
        windows.back()->setGeometry(50, 50, 706, 476);
        windows.back()->show();
        auto* report = new TFormReport(windows.back().get(), {});
        report->SetTitleList(titles_);
        report->SetTargetFiles(targets_);
        return report;
    }

private slots:
    void init() { scratch_ = std::make_unique<testsupport::WindowSandbox>(); }
    void cleanup() { scratch_.reset(); }

    void mainWindowMovesByItsFreeAreasOnly() {
        auto form = Start();
        QVERIFY(form != nullptr);
        CheckDrags(form.get(), form->Dragger,
                   {{"FormMain", {4, 100}},
                    {"TitleStrip", {100, 20}},
                    {"TitleCornerLeft", {4, 12}},
                    {"TitleDecorationRight", {504, 16}},
                    {"StatusArea", {350, 32}},
                    {"StatusCapLeft", {208, 14}},
                    {"Notifier", {345, 14}},
                    {"ProgressBarItunes", {350, 43}},
                    {"SideBorderRight", {704, 200}},
                    {"BottomCapLeft", {6, 462}},
                    {"BottomStrip", {350, 466}},
                    {"SongPanel", {11, 300}},
                    {"SearchPanel", {600, 150}},
                    {"ListPanel", {600, 397}},
                    {"SearchPanel/search_caption", {533, 88}},
                    {"SearchPanel/search_frame", {553, 91}},
                    {"SearchPanel/device_caption", {532, 127}}},
                   {{"BarCapLeft", {510, 427}},
                    {"SongPanel/panel_corner_top_left", {9, 57}},
                    {"ListPanel/panel_corner_top_right", {695, 177}},
                    {"ButtonCopy", {650, 427}},
                    {"SongPanel/AdvStringGridSong/qt_scrollarea_viewport", {200, 200}}});
        // A click, a drag with the other button and a move without a button move nothing.
        QSignalSpy started(form->Dragger, &app::WindowDragger::DragStarted);
        QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(100, 20));
        QTest::mousePress(form.get(), Qt::RightButton, {}, QPoint(100, 20));
        QTest::mouseMove(form.get(), QPoint(120, 24));
        QTest::mouseRelease(form.get(), Qt::RightButton, {}, QPoint(120, 24));
        QTest::mouseMove(form.get(), QPoint(100, 20));
        QCOMPARE(started.size(), 0);
    }

    void reportMovesByItsBackgroundAndFrame() {
        std::vector<std::unique_ptr<QWidget>> windows;
        TFormReport* report = ShowReport(QRect(50, 50, 706, 476), windows);
        QVERIFY(report != nullptr);
        // The focus starts on Close; Tab goes round the buttons and the grid.
        QVERIFY(QTest::qWaitForWindowActive(report));
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{"CloseButton", "XP_ButtonSmall1", "XP_ButtonSmall3",
                                       "XP_ButtonSmall2", "Reporter", "OpenDir", "CloseButton"}));
        CheckDrags(report, report->Dragger,
                   {{"FormReport", {100, 245}},
                    {"TitleStrip", {300, 20}},
                    {"Caption", {50, 15}},
                    {"TitleCornerRight", {427, 16}},
                    {"SideBorderRight", {430, 150}},
                    {"BottomStrip", {200, 271}},
                    {"BottomCapLeft", {6, 271}}},
                   {{"SideBorderLeft", {0, 150}},
                    {"TopLine", {200, 0}},
                    {"OpenDir", {300, 245}},
                    {"Reporter/qt_scrollarea_viewport", {200, 100}}});
    }

    void theGridsRepaintAfterAMoveAndTheOutlinesAreRounded() {
        auto form = Start(true);
        QVERIFY(form != nullptr);
        // The main window's outline is set once, at construction; the report's at every showing.
        for (QPoint corner : {QPoint(0, 0), QPoint(705, 0), QPoint(2, 2), QPoint(703, 473)})
            QVERIFY(!form->mask().contains(corner));
        for (QPoint inside : {QPoint(353, 238), QPoint(15, 0), QPoint(0, 15), QPoint(690, 475)})
            QVERIFY(form->mask().contains(inside));
        QCoreApplication::processEvents();
        PaintCounter counter;
        for (QTableView* grid :
             {form->AdvStringGridSong, form->ArtistList, form->AlbumList, form->FileTypeList})
            counter.Watch(grid->viewport());
        form->move(form->pos() + QPoint(30, 20));
        QTRY_VERIFY(counter.paints[form->AdvStringGridSong->viewport()] > 0);
        QTRY_VERIFY(counter.paints[form->ArtistList->viewport()] > 0);
        QCOMPARE(counter.paints[form->AlbumList->viewport()], 0); // hidden lists left alone
        QCOMPARE(counter.paints[form->FileTypeList->viewport()], 0);

        std::vector<std::unique_ptr<QWidget>> windows;
        TFormReport* report = ShowReport(QRect(50, 50, 706, 476), windows);
        QVERIFY(report != nullptr);
        report->close();
        report->clearMask();
        report->ShowModal();
        QVERIFY(!report->mask().contains(QPoint(430, 276)) &&
                report->mask().contains(QPoint(215, 138)));
        QCoreApplication::processEvents();
        counter.Watch(report->Reporter->viewport());
        report->move(report->pos() + QPoint(10, 10));
        QTRY_VERIFY(counter.paints[report->Reporter->viewport()] > 0);
    }

    void thePlaySymbolStandsUnscaledInTheCellsTopRightCorner() {
        auto form = Start(true);
        QVERIFY(form != nullptr);
        QTableView* table = form->AdvStringGridSong;
        const QImage shot =
            table->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage play = skin::Picture::Load(QStringLiteral("play"))
                                .At(1)
                                .convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < 2; ++row) {
            const QRect cell = table->visualRect(table->model()->index(row, 0));
            QCOMPARE(PlaySymbolDelegate::SymbolRect(cell), QRect(cell.topLeft(), QSize(16, 16)));
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (qAlpha(play.pixel(x, y)) == 255) {
                        ++opaque;
                        QCOMPARE(shot.pixel(cell.topLeft() + QPoint(x, y)), play.pixel(x, y));
                    }
            QVERIFY(opaque > 100);
        }
    }

    void keyboardAndScreenReaders() {
        auto form = Start(true);
        QVERIFY(form != nullptr);
        // The focus starts on the tracks; Tab goes in reading order, the hidden lists left out,
        // round to the start; Backtab back.
        const QStringList order{"AdvStringGridSong", "Edit1",           "iPodSelectorCom",
                                "ArtistTabButton",   "AlbumTabButton",  "FileTypeTabButton",
                                "PlaylistTabButton", "ArtistList",      "XP_Button5",
                                "XP_Button3",        "ButtonCopy",      "XP_ButtonSmall1",
                                "XP_ButtonSmall3",   "XP_ButtonSmall2", "AdvStringGridSong"};
        QStringList visited{QApplication::focusWidget()->objectName()};
        while (visited.size() < order.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), form->XP_ButtonSmall2);

        // The name a reader reads: the control's own, or what its interface takes from the
        // caption. (On Linux a reader names a selector by its entry and reads this name apart.)
        const std::map<QString, QString> names{{"ButtonCopy", "Copy"},
                                               {"XP_ButtonSmall1", "Minimize"},
                                               {"XP_ButtonSmall3", "Close"},
                                               {"XP_ButtonSmall2", "WebSite"},
                                               {"Edit1", "Search"},
                                               {"iPodSelectorCom", "iPod"},
                                               {"AdvStringGridSong", "Tracks"},
                                               {"ProgressBarItunes", "Progress"}};
        for (const auto& [object, name] : names) {
            QWidget* widget = form->findChild<QWidget*>(object);
            QVERIFY2(widget != nullptr, qPrintable(object));
            QCOMPARE(widget->accessibleName().isEmpty()
                         ? QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name)
                         : widget->accessibleName(),
                     name);
        }
        // Every skinned button takes the focus by the mouse and by Tab, as a push button does.
        for (const SkinButton* button : form->findChildren<SkinButton*>())
            QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
    }

    // ---- Where the windows open (also run on a screen smaller than the main window) --------

    void placementOfTheMainWindow() {
        auto form = Start();
        QVERIFY(form != nullptr);
        const QRect area = form->screen()->availableGeometry();
        QCOMPARE(form->pos().y(), Placed(area.top(), area.height(), 476));
        if (area.width() >= 706) {
            QCOMPARE(form->pos().x(), Placed(area.left(), area.width(), 706));
        } else { // the title-bar buttons stay on the screen, the close button among them
            QCOMPARE(form->pos().x(), area.right() + 1 - 688);
            const QWidget* close = form->findChild<QWidget*>(QStringLiteral("XP_ButtonSmall3"));
            QVERIFY(area.contains(close->mapToGlobal(close->rect().bottomRight())));
        }
    }

    void windowsArePlacedBeforeTheirNativeWindowsAreMade_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"main", "report", "options"})
            QTest::newRow(kind) << kind;
    }
    void windowsArePlacedBeforeTheirNativeWindowsAreMade() {
        // Moved between the two, a window can be left by the window manager where Qt does not
        // see it.
        QFETCH(QString, kind);
        std::vector<std::unique_ptr<QWidget>> windows;
        QWidget* window = Unshown(kind, windows);
        QVERIFY(window->windowHandle() == nullptr);
        CreationWatch made(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(made.at, std::optional<QPoint>(window->pos()));
    }

    void windowsFollowThePositionTheMouseReports_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QPoint>("elsewhere");
        QTest::addColumn<bool>("follows");
        for (const char* kind : {"main", "report", "options"})
            QTest::newRow(kind) << kind << QPoint(300, -40) << true;
        QTest::newRow("a pixel off is rounding") << "main" << QPoint(1, -1) << false;
    }
    void windowsFollowThePositionTheMouseReports() {
        QFETCH(QString, kind);
        QFETCH(QPoint, elsewhere);
        QFETCH(bool, follows);
        std::vector<std::unique_ptr<QWidget>> windows;
        QWidget* window = Unshown(kind, windows);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QPoint held = window->windowHandle()->position();
        // The window system shows the window elsewhere than Qt holds: the mouse tells.
        const QPointF local(40, 20);
        QMouseEvent move(QEvent::MouseMove, local, local, local + held + elsewhere, Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &move);
        const QPoint expected = follows ? held + elsewhere : held;
        QCOMPARE(window->windowHandle()->position(), expected);
        QTRY_COMPARE(window->pos(), expected);
    }

    void placementOfTheFolderDialog() {
        if (OnWindowsPlatform())
            QSKIP("Windows shows its own file dialog there, placed and sized by the system");
        auto form = Start();
        QVERIFY(form != nullptr);
        QRect frame, area;
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                frame = dialog->frameGeometry();
                area = dialog->screen()->availableGeometry();
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        const auto chosen =
            TCopyEnvironment::System().askTargetFile(form.get(), {"Select", "Song.mp3", ".mp3"});
        QVERIFY(!chosen);
        QVERIFY(!frame.isEmpty());
        QVERIFY2(area.contains(frame), QTest::toString(frame));
    }

    void placementOfTheReport() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Over an owner on the screen: centred over it.
        std::vector<std::unique_ptr<QWidget>> windows;
        TFormReport* report = ShowReport(QRect(area.topLeft(), QSize(706, 476)), windows);
        QVERIFY(report != nullptr);
        QCOMPARE(report->pos(), area.topLeft() + QPoint((706 - 431) / 2, (476 - 277) / 2));
        // Over owners off the screen's edges: moved onto it.
        for (QPoint off : {QPoint(5000, 5000), QPoint(-5000, -5000)}) {
            windows.clear();
            report = ShowReport(QRect(area.topLeft() + off, QSize(706, 476)), windows);
            QVERIFY(report != nullptr);
            QVERIFY(area.contains(report->geometry()));
        }
    }
};

QTEST_MAIN(WindowChromeTest)
#include "WindowChromeTest.moc"
