// The copy job as the main window takes part in it: its Copy/Stop button, its table's menu and
// selection, a close or a request to end the program during a job, and the report over it.
// The copy side on its own is tested over a small test window (CopySideTest.cpp).

#include "gui/TFormMain.h"
#include "gui/skin/SkinProgressBar.h"
#include "gui/skin/TitleBarButton.h"
#include "core/copy/CopyThread.h"
#include "platform/Console.h"
#include "support/CopyScene.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QWindow>

#include <csignal>

using namespace testsupport;

class CopyWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CopyScene> scene_;
    std::unique_ptr<TFormMain> form_;
    std::vector<std::string> removable_;
    std::function<bool()> terminationRequested_;

    // The window over these players.
    TFormMain& Start(std::vector<std::string> removable = {}) {
        removable_ = std::move(removable);
        TMainEnvironment environment;
        environment.removableRoots = [this] { return removable_; };
        environment.watchDevices = [](std::function<void()>) {
            return std::unique_ptr<platform::DeviceWatcher>();
        };
        environment.copy = scene_->Environment();
        environment.terminationRequested = terminationRequested_;
        form_ = std::make_unique<TFormMain>(std::move(environment));
        form_->show();
        return *form_;
    }
    TFormReport* Report() { return form_->CopySide().FormReport(); }

    // Selects every row (Ctrl+A) and clicks Copy: a job whose first held file is held part-way.
    void StartHeldJob() {
        scene_->files.Hold();
        form_->AdvStringGridSong->setFocus();
        QTest::keyClick(form_->AdvStringGridSong, Qt::Key_A, Qt::ControlModifier);
        scene_->dialogAnswer = scene_->Planned("anything.mp3");
        QTest::mouseClick(form_->ButtonCopy, Qt::LeftButton);
        QVERIFY(form_->CopyThread() != nullptr);
        QVERIFY(Until([&] { return scene_->files.Held(); }));
    }

private slots:
    void init() {
        scene_ = std::make_unique<CopyScene>();
        terminationRequested_ = nullptr;
    }
    void cleanup() {
        scene_->files.Release(); // a held worker could not end
        form_.reset();
        scene_.reset();
    }

    void theWindowsSelectionCopyStopButtonAndReportDriveTheJob() {
        QTest::mouseClick(Start().ButtonCopy, Qt::LeftButton); // no player yet: nothing asked
        TFormMain& form = Start({scene_->ThreeTracks()});
        // The popup's entry, opened on the header, which marks nothing; the bar starts afresh.
        form.ProgressBarItunes->setPosition(40);
        QVERIFY(ClickEntry(RightClick(form.AdvStringGridSong, -1), "CopyoutSong"));
        QCOMPARE(form.ProgressBarItunes->position(), 0);
        // Table order decides, not the order of the clicks; a right-click adds its row.
        ClickRow(form.AdvStringGridSong, 2);
        ClickRow(form.AdvStringGridSong, 1, Qt::ControlModifier);
        QTest::mouseClick(form.ButtonCopy, Qt::LeftButton); // cancelled
        QVERIFY(ClickEntry(RightClick(form.AdvStringGridSong, 0), "CopyoutSong"));
        QCOMPARE(scene_->dialogs.size(), std::size_t(2));
        QCOMPARE(scene_->dialogs[0].fileName, std::string("Two.mp3"));
        QCOMPARE(scene_->dialogs[1].fileName, std::string("Big One.mp3"));

        StartHeldJob(); // Ctrl+A
        QCOMPARE(form.TitleList(), (Strings{"Big One", "Two", "Three"}));
        QCOMPARE(form.ButtonCopy->text(), QStringLiteral("Stop"));
        QCOMPARE(form.Notifier->text(), QStringLiteral("(1/3) Copying Big One.mp3"));
        QCOMPARE(form.ProgressBarItunes->maximum(), 450);
        // Stop is the menu's one entry now; answered No, the job goes on.
        QMenu* menu = RightClick(form.AdvStringGridSong, -1);
        for (QAction* action : form.SongsPopupMenu->actions())
            QCOMPARE(action->isEnabled(), action->objectName() == QStringLiteral("StopCopyOut"));
        QVERIFY(ClickEntry(menu, "StopCopyOut"));
        QCOMPARE(scene_->questions, Strings{"Stop copy file?"});
        QCOMPARE(form.ButtonCopy->text(), QStringLiteral("Stop"));
        // The button, reading Stop, asks again; a Yes stops the job.
        scene_->answer = [] { return true; };
        QTest::mouseClick(form.ButtonCopy, Qt::LeftButton);
        QCOMPARE(scene_->questions.size(), std::size_t(2));
        QCOMPARE(form.ButtonCopy->text(), QStringLiteral("Copy"));
        QVERIFY(!form.Copying);
        scene_->files.Release();
        // The report's minimise button takes the whole program down. The report stands over the
        // main window, so the window system takes it with it (Windows hides owned windows, X11
        // window managers iconify transient ones).
        QVERIFY(Shown(Report()));
        QTest::mouseClick(Report()->XP_ButtonSmall1, Qt::LeftButton);
        QVERIFY(form.isMinimized());
        QVERIFY(Report()->isMinimized() ||
                Report()->windowHandle()->transientParent() == form.windowHandle());
        form.showNormal();
        CloseReport(Report());
        QCOMPARE(form.Notifier->text(), QStringLiteral("1 iPod detected."));
        QVERIFY(form.SourceFiles().empty() && form.TitleList().empty());
    }

    void closingDuringACopyAsksFirst_data() {
        QTest::addColumn<bool>("byWindowManager");
        QTest::addColumn<bool>("quit");
        QTest::newRow("close button, No") << false << false;
        QTest::newRow("close button, Yes") << false << true;
        QTest::newRow("window manager, No") << true << false;
        QTest::newRow("window manager, Yes") << true << true;
    }
    void closingDuringACopyAsksFirst() {
        QFETCH(bool, byWindowManager);
        QFETCH(bool, quit);
        TFormMain& form = Start({scene_->ThreeTracks()});
        StartHeldJob();
        scene_->files.removeMilliseconds = 300; // the worker's end takes a while: it is waited for
        bool pausedDuringQuestion = false;
        scene_->answer = [&] {
            // Released inside the question, the worker pauses: it copies nothing meanwhile.
            scene_->files.Release();
            pausedDuringQuestion = Until([&] { return form.CopyThread()->Parked(); });
            return quit;
        };
        if (byWindowManager) {
            QCloseEvent close;
            QApplication::sendEvent(form.windowHandle(), &close);
        } else {
            QTest::mouseClick(form.XP_ButtonSmall3, Qt::LeftButton);
        }
        QCOMPARE(scene_->questions, Strings{"Ignore copying file and quit?"});
        QVERIFY(pausedDuringQuestion);
        if (quit) {
            // The worker has ended and removed its partial copy; no report, window closed.
            QVERIFY(!form.isVisible() && form.CopyThread()->Ended());
            QVERIFY(FilesIn(scene_->Target()).empty());
            // Nothing can be waited for here: a report would come within the worker watch's
            // interval (200 ms), if at all.
            QTest::qWait(300);
            QVERIFY(!Report()->isVisible());
        } else {
            QVERIFY(form.isVisible() && form.Copying);
            CloseReport(Report());
            QCOMPARE(FilesIn(scene_->Target()).size(), std::size_t(3));
        }
    }

    void aRequestToEndTheProgramEndsTheCopyAsACloseAnsweredYes() {
#ifdef _WIN32
        QSKIP("Windows ends a session by closing the windows");
#else
        scene_->HoldSource("BIG.mp3"); // "Two" is complete, "Big" held part-way
        platform::CatchTermination();
        terminationRequested_ = [this] {
            if (!platform::TerminationRequested())
                return false;
            // The held copy goes on once the job is being abandoned, which meets it part-way.
            QTimer::singleShot(0, [this] { scene_->files.Release(); });
            return true;
        };
        TFormMain& form = Start({BuildPlayer(
            scene_->PlayerRoot(), {{"Two", "A", "TWO.mp3"}, {"Big", "A", "BIG.mp3", kBigBytes}})});
        StartHeldJob();
        std::raise(SIGTERM);
        QVERIFY(Until([&] { return !form.isVisible(); }, 2000));
        QVERIFY(scene_->questions.empty() && form.CopyThread()->Ended());
        QVERIFY(!Report()->isVisible());
        QCOMPARE(FilesIn(scene_->Target()), Strings{"Two.mp3"});
#endif
    }
};

QTEST_MAIN(CopyWindowTest)
#include "CopyWindowTest.moc"
