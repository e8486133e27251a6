// The main window's side of a copy job and the report window, on players built in temporary
// folders and copied into others by the real worker. The folder dialog, the questions and the
// folder opener are the test's; a job is held mid-copy by a source file whose reading waits for
// the test.

#include "gui/TFormMain.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/SkinProgressBar.h"
#include "gui/skin/TitleBarButton.h"
#include "gui/TrackTableModel.h"
#include "core/copy/CopyThread.h"
#include "gui/TFormReport.h"
#include "platform/Console.h"
#include "support/BuiltPlayer.h"
#include "support/Gestures.h"
#include "support/HeldCopyFiles.h"
#include "support/ScopedEnv.h"
#include "support/WindowSandbox.h"
#include "support/Until.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QWindow>

#include <csignal>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using testsupport::TrackSpec;
using testsupport::Until;

namespace {

constexpr std::int64_t kBigBytes = 3 << 19; // more than one piece of the worker's reads

std::string Text(const QLabel* label) {
    return label->text().toStdString();
}

std::string Caption(const SkinButton* button) {
    return button->text().toStdString();
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string ReportCell(const TFormReport* report, int row, int column) {
    const QTableWidgetItem* item = report->Reporter->item(row, column);
    return item != nullptr ? item->text().toStdString() : std::string("<none>");
}

std::vector<std::string> ReportColumn(const TFormReport* report, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < report->Reporter->rowCount(); ++row)
        cells.push_back(ReportCell(report, row, column));
    return cells;
}

using Strings = std::vector<std::string>;

} // namespace

// Lists of texts show in failure messages.
template <> char* QTest::toString(const Strings& texts) {
    QByteArray joined("{");
    for (const std::string& text : texts)
        joined += (joined.size() > 1 ? ", \"" : "\"") + QByteArray::fromStdString(text) + '"';
    return qstrdup(joined + '}');
}

class CopyWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::WindowSandbox> scratch_;
    std::vector<std::string> removable_;
    testsupport::HeldCopyFiles files_;

    // What the folder dialog was asked, and its answer (a path, or cancelled).
    std::vector<TFolderDialogRequest> dialogs_;
    std::optional<std::string> dialogAnswer_;
    // The questions asked, and how each is answered (inside the question, like a user).
    std::vector<std::string> questions_;
    std::function<bool()> answer_;
    std::vector<std::string> openedFolders_;
    std::vector<std::string> told_;
    std::function<bool()> terminationRequested_;

    struct Closer {
        testsupport::HeldCopyFiles* files;
        void operator()(TFormMain* form) const {
            files->Release(); // a held worker could not end
            delete form;
        }
    };
    using Form = std::unique_ptr<TFormMain, Closer>;

    Form Start() {
        TMainEnvironment environment;
        environment.removableRoots = [this] { return removable_; };
        environment.watchDevices = [](std::function<void()>) {
            return std::unique_ptr<platform::DeviceWatcher>();
        };
        environment.copy.askTargetFile = [this](QWidget*, const TFolderDialogRequest& request) {
            dialogs_.push_back(request);
            return dialogAnswer_;
        };
        environment.copy.askYesNo = [this](QWidget*, const std::string& question) {
            questions_.push_back(question);
            return answer_ ? answer_() : false;
        };
        environment.copy.tell = [this](QWidget*, const std::string& text) {
            told_.push_back(text);
        };
        environment.copy.openFolder = [this](const std::string& folder) {
            openedFolders_.push_back(folder);
            return platform::Status::Ok();
        };
        environment.copy.copyFiles = &files_;
        environment.terminationRequested = terminationRequested_;
        Form form(new TFormMain(std::move(environment)), Closer{&files_});
        form->show();
        return form;
    }

    void HoldSource(const std::string& name) {
        files_.holds = [name](const std::string& path) { return path.ends_with(name); };
    }

    fs::path Target() const { return scratch_->path() / "Music"; }
    std::string Planned(const std::string& name) const { return (Target() / name).string(); }
    std::string AnswerInTarget() const { return Planned("anything.mp3"); }

    // A big track first, to be held, then two small ones.
    std::string ThreeTracks() {
        HoldSource("BIG.mp3");
        return testsupport::BuildPlayer(scratch_->path() / "player",
                                        {{"Big One", "A", "BIG.mp3", kBigBytes},
                                         {"Two", "A", "TWO.mp3", 2000},
                                         {"Three", "A", "THRE.m4a", 3000}});
    }

    // Selects every row (Ctrl+A) and clicks Copy; the dialog answers a file in the folder.
    void CopyEverything(TFormMain& form, const std::optional<fs::path>& folder = {}) {
        form.AdvStringGridSong->setFocus();
        QTest::keyClick(form.AdvStringGridSong, Qt::Key_A, Qt::ControlModifier);
        dialogAnswer_ = folder ? (*folder / "x.mp3").string() : AnswerInTarget();
        QTest::mouseClick(form.ButtonCopy, Qt::LeftButton);
    }

    // A job whose first file is held part-way.
    void StartHeldJob(TFormMain& form) {
        files_.Hold();
        CopyEverything(form);
        QVERIFY(form.CopyThread() != nullptr);
        QVERIFY(Until([&] { return files_.Held(); }));
    }

    // Releases a held worker inside a question and waits until it has paused: a question is
    // asked while the worker copies nothing.
    bool ReleaseAndSeePaused(TFormMain& form) {
        files_.Release();
        return Until([&] { return form.CopyThread()->Parked(); });
    }

    // The report once the job has ended, or nothing when none comes.
    TFormReport* AwaitReport(TFormMain& form) {
        TFormReport* report = form.CopySide().FormReport();
        return Until([&] { return report->isVisible(); }) ? report : nullptr;
    }

    // The report, closed by its Close button.
    void CloseReport(TFormMain& form) {
        TFormReport* report = AwaitReport(form);
        QVERIFY(report != nullptr);
        QTest::mouseClick(report->CloseButton, Qt::LeftButton);
        QVERIFY(!report->isVisible());
    }

    void ExpectIdle(TFormMain& form) {
        QCOMPARE(form.ProgressBarItunes->position(), 0);
        QVERIFY(!form.Copying);
        QCOMPARE(Caption(form.ButtonCopy), std::string("Copy"));
        QVERIFY(form.SourceFiles().empty() && form.TargetFiles().empty() &&
                form.TitleList().empty());
        QCOMPARE(Text(form.Notifier), std::string("1 iPod detected."));
        QVERIFY(form.CopyThread()->Ended());
    }

private slots:
    void init() {
        scratch_ = std::make_unique<testsupport::WindowSandbox>();
        fs::create_directories(Target());
        removable_.clear();
        files_.holds = nullptr;
        files_.failSizes = false;
        files_.removeMilliseconds = 0;
        files_.Release();
        dialogs_.clear();
        dialogAnswer_.reset();
        questions_.clear();
        answer_ = nullptr;
        openedFolders_.clear();
        told_.clear();
        terminationRequested_ = nullptr;
    }
    void cleanup() {
        files_.Release();
        scratch_.reset();
    }

    void copyWithoutAPlayerOrASelectionAsksNothing() {
        auto form = Start(); // no player yet
        form->ProgressBarItunes->setPosition(40);
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        QCOMPARE(form->ProgressBarItunes->position(), 0);
        QVERIFY(dialogs_.empty());

        removable_ = {ThreeTracks()};
        form = Start();
        form->ProgressBarItunes->setPosition(40);
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        QCOMPARE(form->ProgressBarItunes->position(), 0);
        // The popup's entry, opened on the header, which marks nothing.
        form->ProgressBarItunes->setPosition(40);
        QVERIFY(testsupport::ClickEntry(testsupport::RightClick(form->AdvStringGridSong, -1),
                                        "CopyoutSong"));
        QCOMPARE(form->ProgressBarItunes->position(), 0);
        QVERIFY(dialogs_.empty());
        QVERIFY(form->CopyThread() == nullptr);
        QVERIFY(!form->Copying);
    }

    void aTargetFolderThatCannotTakeTheCopiesStartsNoJob_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("on the player") << "player";
        QTest::newRow("a file, not a folder") << "file";
        QTest::newRow("read-only") << "read-only";
    }
    void aTargetFolderThatCannotTakeTheCopiesStartsNoJob() {
        QFETCH(QString, kind);
        const std::string player = ThreeTracks();
        removable_ = {player};
        const fs::path folder = kind == "player" ? fs::path(player) / "iPod_Control" / "iTunes"
                                                 : scratch_->path() / "elsewhere";
        std::string reason = "The target folder " + folder.string();
        if (kind == "player") {
            reason += " is on the player: choose a folder outside it.";
        } else if (kind == "file") {
            std::ofstream(folder) << "a file";
            reason = "The target " + folder.string() + " is not a folder.";
        } else {
#ifdef _WIN32
            QSKIP("a folder's permissions do not keep files out on Windows");
#else
            if (geteuid() == 0)
                QSKIP("root creates files in a read-only folder all the same");
#endif
            fs::create_directory(folder);
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            reason += " cannot be written: ";
        }
        auto form = Start();
        CopyEverything(*form, folder);
        QCOMPARE(told_.size(), std::size_t(1));
        QVERIFY2(told_[0].starts_with(reason) && told_[0].ends_with("."), told_[0].c_str());
        QVERIFY(form->CopyThread() == nullptr);
        QVERIFY(!form->Copying);
    }

    void theDialogProposesTheFirstSelectedTracksName() {
        removable_ = {testsupport::BuildPlayer(scratch_->path() / "player",
                                               {{"AC/DC: Live?", "A", "LIVE.mp3"},
                                                {"Plain", "A", "PLAIN"},
                                                {"Last", "A", "LAST.M4A"}})};
        auto form = Start();
        // Table order decides, not the order of the clicks.
        testsupport::ClickRow(form->AdvStringGridSong, 2);
        testsupport::ClickRow(form->AdvStringGridSong, 1, Qt::ControlModifier);
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton); // cancelled
        QCOMPARE(dialogs_.size(), std::size_t(1));
        QCOMPARE(dialogs_[0].title, std::string("Select Directory..."));
        QCOMPARE(dialogs_[0].fileName, std::string("Plain"));
        QCOMPARE(dialogs_[0].filter, std::string(""));
        // A right-click adds its row; the popup's Copy proposes the first row now.
        QVERIFY(testsupport::ClickEntry(testsupport::RightClick(form->AdvStringGridSong, 0),
                                        "CopyoutSong"));
        QCOMPARE(dialogs_.size(), std::size_t(2));
        QCOMPARE(dialogs_[1].fileName, std::string("ACDC Live.mp3"));
        QCOMPARE(dialogs_[1].filter, std::string(".mp3"));
        // Cancelled: nothing started, nothing kept.
        QVERIFY(form->CopyThread() == nullptr);
        QVERIFY(!form->Copying);
        QCOMPARE(Caption(form->ButtonCopy), std::string("Copy"));
        QVERIFY(form->SourceFiles().empty() && form->TitleList().empty());
        QVERIFY(FilesIn(Target()).empty());
    }

    void theFinishShowsTheReportBeforeTheWindowGoesBackToIdle_data() {
        QTest::addColumn<bool>("byTitleBar");
        QTest::newRow("Close button") << false;
        QTest::newRow("title-bar close") << true;
    }
    void theFinishShowsTheReportBeforeTheWindowGoesBackToIdle() {
        QFETCH(bool, byTitleBar);
        const std::string player = ThreeTracks();
        removable_ = {player};
        auto form = Start();
        CopyEverything(*form);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        // The report is up while the worker waits in its finish message; the window is still
        // in its copying state.
        QCOMPARE(Text(form->Notifier), std::string(" Copy Finished "));
        QCOMPARE(Caption(form->ButtonCopy), std::string("Stop"));
        QVERIFY(form->Copying);
        QCOMPARE(form->ProgressBarItunes->maximum(), 450);
        QCOMPARE(form->ProgressBarItunes->position(), 450);
        QVERIFY(!form->CopyThread()->Ended());
        QCOMPARE(form->TitleList(), (Strings{"Big One", "Two", "Three"}));
        QCOMPARE(ReportColumn(report, 1),
                 (Strings{Planned("Big One.mp3"), Planned("Two.mp3"), Planned("Three.m4a")}));

        QTest::mouseClick(byTitleBar ? static_cast<QWidget*>(report->XP_ButtonSmall3)
                                     : static_cast<QWidget*>(report->CloseButton),
                          Qt::LeftButton);
        QVERIFY(!report->isVisible());
        ExpectIdle(*form);
        QCOMPARE(FilesIn(Target()), (Strings{"Big One.mp3", "Three.m4a", "Two.mp3"}));
        QCOMPARE(Contents(Target() / "Three.m4a"),
                 Contents(fs::path(player) / "iPod_Control/Music/F00/THRE.m4a"));
        QCOMPARE(fs::file_size(Target() / "Big One.mp3"), std::uintmax_t(kBigBytes));
    }

    void aRunningCopyShowsItsProgress() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        StartHeldJob(*form);
        QVERIFY(Until([&] { return form->ProgressBarItunes->position() > 0; }));
        QCOMPARE(Text(form->Notifier), std::string("(1/3) Copying Big One.mp3"));
        QCOMPARE(form->ProgressBarItunes->maximum(), 450);
        QVERIFY(form->ProgressBarItunes->position() < 450);
        QCOMPARE(Caption(form->ButtonCopy), std::string("Stop"));
        QVERIFY(form->Copying);
        QCOMPARE(form->SourceFiles().size(), std::size_t(3));
        // During a copy Stop is the one entry of the table's menu.
        QMenu* menu = testsupport::RightClick(form->AdvStringGridSong, -1);
        for (QAction* action : form->SongsPopupMenu->actions())
            QCOMPARE(action->isEnabled(), action->objectName() == QStringLiteral("StopCopyOut"));
        testsupport::CloseMenu(menu);
        // The first copy is being written under a name of its own.
        const Strings partial = FilesIn(Target());
        QCOMPARE(partial.size(), std::size_t(1));
        QVERIFY(partial[0].ends_with(".part"));
        files_.Release();
        CloseReport(*form);
        ExpectIdle(*form);
    }

    void stopAnsweredNoLetsTheCopyGoOn() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        StartHeldJob(*form);
        const int bar = form->ProgressBarItunes->position();
        QVERIFY(bar > 0);
        bool pausedDuringQuestion = false;
        answer_ = [&] {
            pausedDuringQuestion = ReleaseAndSeePaused(*form);
            files_.Hold(); // again, before the file's end: the state after the answer stays
            return false;
        };
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton); // it reads "Stop"
        QCOMPARE(questions_, Strings{"Stop copy file?"});
        QVERIFY(pausedDuringQuestion);
        // The copy goes on where it paused, in the same file, with nothing reset.
        QVERIFY(Until([&] { return files_.Held(); }));
        QCOMPARE(Text(form->Notifier), std::string("(1/3) Copying Big One.mp3"));
        QVERIFY(form->ProgressBarItunes->position() > bar);
        QCOMPARE(Caption(form->ButtonCopy), std::string("Stop"));
        QVERIFY(form->Copying);

        files_.Release();
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(Text(form->Notifier), std::string(" Copy Finished "));
        QCOMPARE(ReportColumn(report, 1),
                 (Strings{Planned("Big One.mp3"), Planned("Two.mp3"), Planned("Three.m4a")}));
        CloseReport(*form);
        ExpectIdle(*form);
    }

    void stopAnsweredYesEndsTheJobWithItsReport() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        StartHeldJob(*form);
        answer_ = [] { return true; };
        QVERIFY(testsupport::ClickEntry(testsupport::RightClick(form->AdvStringGridSong, -1),
                                        "StopCopyOut"));
        QCOMPARE(questions_, Strings{"Stop copy file?"});
        QCOMPARE(Text(form->Notifier), std::string("3 Files found in your iPod."));
        QVERIFY(!form->Copying);
        QCOMPARE(form->ProgressBarItunes->position(), 0);
        QCOMPARE(Caption(form->ButtonCopy), std::string("Copy"));

        // The stopped worker still holds the job: no second job before its report.
        TCopyThread* first = form->CopyThread();
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        QVERIFY(testsupport::ClickEntry(testsupport::RightClick(form->AdvStringGridSong, -1),
                                        "CopyoutSong"));
        QCOMPARE(dialogs_.size(), std::size_t(1));
        QCOMPARE(form->CopyThread(), first);

        files_.Release();
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(Text(form->Notifier), std::string(" Copy Terminated "));
        QCOMPARE(ReportColumn(report, 1), Strings(3, " Copy Terminated."));
        QVERIFY(FilesIn(Target()).empty()); // the partial copy is gone, nothing else was made
        CloseReport(*form);
        ExpectIdle(*form);
        // Now a new job may start.
        dialogAnswer_.reset();
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        QCOMPARE(dialogs_.size(), std::size_t(2));
    }

    void aStopNeverRemovesTheUsersEarlierFile() {
        removable_ = {ThreeTracks()};
        std::ofstream(Target() / "Big One.mp3") << "the user's earlier copy";
        auto form = Start();
        form->OverWriteExistFile = true;
        StartHeldJob(*form);
        answer_ = [] { return true; };
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        files_.Release();
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(ReportCell(report, 0, 1), std::string(" Copy Terminated."));
        // The stopped copy was never given the name: the file under it is the user's, whole.
        QCOMPARE(FilesIn(Target()), Strings{"Big One.mp3"});
        QCOMPARE(Contents(Target() / "Big One.mp3"), std::string("the user's earlier copy"));
        CloseReport(*form);
    }

    void stopBetweenFilesKeepsWhatWasCopied() {
        removable_ = {ThreeTracks()};
        // Read whole at once, then held while its end is looked for: the stop is seen before
        // the next entry.
        HoldSource("TWO.mp3");
        auto form = Start();
        StartHeldJob(*form);
        answer_ = [] { return true; };
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        files_.Release();
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(ReportColumn(report, 1),
                 (Strings{Planned("Big One.mp3"), Planned("Two.mp3"), " Copy Terminated."}));
        QCOMPARE(FilesIn(Target()), (Strings{"Big One.mp3", "Two.mp3"}));
        CloseReport(*form);
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
        removable_ = {ThreeTracks()};
        auto form = Start();
        StartHeldJob(*form);
        files_.removeMilliseconds = 300; // the worker's end takes a while: it is waited for
        bool pausedDuringQuestion = false;
        answer_ = [&] {
            pausedDuringQuestion = ReleaseAndSeePaused(*form);
            return quit;
        };
        if (byWindowManager) {
            QCloseEvent close;
            QApplication::sendEvent(form->windowHandle(), &close);
        } else {
            QTest::mouseClick(form->XP_ButtonSmall3, Qt::LeftButton);
        }
        QCOMPARE(questions_, Strings{"Ignore copying file and quit?"});
        QVERIFY(pausedDuringQuestion);
        TFormReport* report = form->CopySide().FormReport();
        if (quit) {
            // The worker has ended and removed its partial copy; no report, window closed.
            QVERIFY(!form->isVisible());
            QVERIFY(form->CopyThread()->Ended());
            QVERIFY(FilesIn(Target()).empty());
            // Nothing can be waited for here: a report would come within the worker watch's
            // interval (200 ms), if at all.
            QTest::qWait(300);
            QVERIFY(!report->isVisible());
        } else {
            QVERIFY(form->isVisible());
            QVERIFY(form->Copying);
            CloseReport(*form);
            ExpectIdle(*form);
            QCOMPARE(FilesIn(Target()).size(), std::size_t(3));
        }
    }

    void aRequestToEndTheProgramEndsTheCopyAsACloseAnsweredYes() {
#ifdef _WIN32
        QSKIP("Windows ends a session by closing the windows");
#else
        removable_ = {testsupport::BuildPlayer(
            scratch_->path() / "player",
            {{"Two", "A", "TWO.mp3"}, {"Big", "A", "BIG.mp3", kBigBytes}})};
        HoldSource("BIG.mp3"); // "Two" is complete, "Big" held part-way
        platform::CatchTermination();
        terminationRequested_ = [this] {
            if (!platform::TerminationRequested())
                return false;
            // The held copy goes on once the job is being abandoned, which meets it part-way.
            QTimer::singleShot(0, [this] { files_.Release(); });
            return true;
        };
        auto form = Start();
        StartHeldJob(*form);
        std::raise(SIGTERM);
        QVERIFY(Until([&] { return !form->isVisible(); }, 2000));
        QVERIFY(questions_.empty());
        QVERIFY(form->CopyThread()->Ended());
        QVERIFY(!form->CopySide().FormReport()->isVisible());
        QCOMPARE(FilesIn(Target()), Strings{"Two.mp3"});
#endif
    }

    void theReportGridShowsEveryEntry_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("overwriting off") << false;
        QTest::newRow("overwriting on") << true;
    }
    void theReportGridShowsEveryEntry() {
        QFETCH(bool, overwrite);
        const std::string player = testsupport::BuildPlayer(
            scratch_->path() / "player", {{"Here", "A", "HERE.mp3", 1500},
                                          {"Gone", "A", "GONE.mp3", -1},
                                          {"AC/DC: Taken?", "A", "TAKEN.mp3", 2500}});
        removable_ = {player};
        std::ofstream(Target() / "ACDC Taken.mp3") << "the user's own file";
        auto form = Start();
        form->OverWriteExistFile = overwrite;
        CopyEverything(*form);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);

        const std::string taken = Planned(overwrite ? "ACDC Taken.mp3" : "ACDC Taken(1).mp3");
        QCOMPARE(ReportColumn(report, 0), (Strings{"Here", "Gone", "AC/DC: Taken?"}));
        QCOMPARE(ReportColumn(report, 1),
                 (Strings{Planned("Here.mp3"), " Source file not found.", taken}));
        QCOMPARE(Contents(taken), Contents(fs::path(player) / "iPod_Control/Music/F00/TAKEN.mp3"));
        QCOMPARE(Contents(Target() / "ACDC Taken.mp3") == "the user's own file", !overwrite);
        // The failed entry stands out.
        for (int column = 0; column < 2; ++column) {
            QCOMPARE(report->Reporter->item(1, column)->foreground().color(),
                     TFormReport::FailureColor());
            QVERIFY(report->Reporter->item(0, column)->foreground().color() !=
                    TFormReport::FailureColor());
        }
        const QHeaderView* header = report->Reporter->horizontalHeader();
        QCOMPARE(report->Reporter->rowCount(), 3);
        QCOMPARE(report->Reporter->horizontalHeaderItem(0)->text(), QStringLiteral("Title"));
        QCOMPARE(report->Reporter->horizontalHeaderItem(1)->text(), QStringLiteral("Copy path"));
        QCOMPARE(header->height(), 16);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(report->Reporter->rowHeight(row), 16);
        QCOMPARE(report->Reporter->columnWidth(0), 166);
        QCOMPARE(report->Reporter->columnWidth(0) + report->Reporter->columnWidth(1),
                 report->Reporter->viewport()->width());
        // The window: its size, centred on the main window, with rounded corners.
        QCOMPARE(report->size(), QSize(431, 277));
        QCOMPARE(report->geometry().center(), form->geometry().center());
        QVERIFY(!report->mask().contains(QPoint(0, 0)));
        QVERIFY(!report->mask().contains(QPoint(430, 276)));
        QVERIFY(report->mask().contains(QPoint(215, 1)));
        QVERIFY(report->mask().contains(QPoint(215, 138)));
        CloseReport(*form);
    }

    void theReportIsFilledAfreshForEveryJob() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        form->OverWriteExistFile = false;
        CopyEverything(*form);
        CloseReport(*form);
        testsupport::ClickRow(form->AdvStringGridSong, 1); // "Two" alone
        QTest::mouseClick(form->ButtonCopy, Qt::LeftButton);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(ReportColumn(report, 0), Strings{"Two"});
        QCOMPARE(ReportColumn(report, 1), Strings{Planned("Two(1).mp3")});
        CloseReport(*form);
    }

    void theReportsMinimiseButtonMinimisesTheWholeProgram() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        CopyEverything(*form);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QTest::mouseClick(report->XP_ButtonSmall1, Qt::LeftButton);
        QVERIFY(form->isMinimized());
        // The report stands over the main window, so the window system takes it down with it
        // (Windows hides owned windows, X11 window managers iconify transient ones).
        QVERIFY(report->isMinimized() ||
                report->windowHandle()->transientParent() == form->windowHandle());
        form->showNormal();
        CloseReport(*form);
    }

    void openDirectoryOpensTheFolderOfTheFirstCopy_data() {
        QTest::addColumn<bool>("firstMissing");
        QTest::addColumn<bool>("allMissing");
        QTest::newRow("first entry copied") << false << false;
        QTest::newRow("first entry not copied") << true << false;
        QTest::newRow("no entry copied") << true << true;
    }
    void openDirectoryOpensTheFolderOfTheFirstCopy() {
        QFETCH(bool, firstMissing);
        QFETCH(bool, allMissing);
        removable_ = {testsupport::BuildPlayer(scratch_->path() / "player",
                                               {{"One", "A", "ONE.mp3", firstMissing ? -1 : 100},
                                                {"Two", "A", "TWO.mp3", allMissing ? -1 : 200}})};
        auto form = Start();
        CopyEverything(*form);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);

        QTest::mouseClick(report->OpenDir, Qt::LeftButton);
        // A double-click on any row, and the popup's item, do the same.
        testsupport::DoubleClickRow(report->Reporter, 1);
        QMenu* menu = testsupport::RightClick(report->Reporter, 1);
        QCOMPARE(menu, report->ReporterPopupMenu);
        QVERIFY(testsupport::ClickEntry(menu, "OpenDirectory"));
        const Strings expected = allMissing ? Strings{} : Strings(3, Target().string());
        QCOMPARE(openedFolders_, expected);
        QVERIFY(report->isVisible());
        CloseReport(*form);
    }

    void aFailingOpenerIsLoggedToldAndTheReportStays() {
        auto form = Start(); // sets up the log
        TFormReport failing(
            form.get(),
            [](const std::string&) { return platform::Status::Error("no file browser"); },
            [this](QWidget* parent, const std::string& text) {
                QVERIFY(parent->isVisible());
                told_.push_back(text);
            });
        const Strings targets{Planned("x.mp3")}, titles{"x"};
        failing.SetTitleList(titles);
        failing.SetTargetFiles(targets);
        failing.show();
        QTest::mouseClick(failing.OpenDir, Qt::LeftButton);
        QVERIFY(failing.isVisible());
        QCOMPARE(told_, Strings{"No file browser."});
        std::ifstream log(scratch_->ProgramFolder() / "apces.cnt");
        const std::string text((std::istreambuf_iterator<char>(log)), {});
        QVERIFY(text.find("Button2Click:no file browser") != std::string::npos);
        failing.close();
    }

    void theSystemsOpenerSaysWhenNoProgramOpensTheFolder() {
        if (QGuiApplication::platformName() == QLatin1String("windows"))
            QSKIP("Windows opens a folder with its own Explorer, which no PATH can take away");
        const testsupport::ScopedEnv noPrograms("PATH", scratch_->path().string());
        const platform::Status opened = TCopyEnvironment::System().openFolder(Target().string());
        QVERIFY(!opened);
        QCOMPARE(opened.message(), "No program could open the folder " + Target().string() + ".");
    }

    void aWorkerThatFailsStillEndsWithItsReport() {
        removable_ = {ThreeTracks()};
        auto form = Start();
        files_.failSizes = true;
        CopyEverything(*form);
        TFormReport* report = AwaitReport(*form);
        QVERIFY(report != nullptr);
        QCOMPARE(Text(form->Notifier), std::string(" Copy Terminated "));
        for (const std::string& cell : ReportColumn(report, 1))
            QVERIFY2(cell.starts_with(" Copy failed: "), cell.c_str());
        CloseReport(*form);
        ExpectIdle(*form);
    }
};

QTEST_MAIN(CopyWindowTest)
#include "CopyWindowTest.moc"
