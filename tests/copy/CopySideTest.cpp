// The copy side of a window and the report, served by a small test window instead of the main
// one, on players built in temporary folders and copied into others by the real worker.

#include "core/base/LogClass.h"
#include "core/copy/CopyThread.h"
#include "gui/skin/TitleBarButton.h"
#include "support/CopyScene.h"
#include "support/CopyTestHost.h"

#include <QGuiApplication>
#include <QHeaderView>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace testsupport;

class CopySideTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CopyScene> scene_;
    std::unique_ptr<CopyTestHost> host_;

    std::string Planned(const std::string& name) const { return scene_->Planned(name); }
    fs::path Target() const { return scene_->Target(); }
    TCopySide& Side() { return *host_->side; }
    TFormReport* Report() { return host_->side->FormReport(); }

    CopyTestHost& Start(const std::string& player = {}) {
        host_ = std::make_unique<CopyTestHost>(scene_->Environment());
        if (!player.empty())
            host_->Load(player);
        return *host_;
    }

    // What the host's Copy button does; the dialog answers a file in the folder.
    void Copy(const std::optional<fs::path>& folder = {}) {
        scene_->dialogAnswer = (folder.value_or(Target()) / "x.mp3").string();
        Side().CopyoutSongClick();
    }

    // A job of every track of the player, and whether its report comes up.
    bool Reported(const std::string& player) {
        Start(player);
        Copy();
        return Shown(Report());
    }

    // A job of the selected tracks, held part-way through the first file the scene holds.
    void StartHeldJob() {
        scene_->files.Hold();
        Copy();
        QVERIFY(Side().CopyThread() != nullptr);
        QVERIFY(Until([&] { return scene_->files.Held(); }));
    }

    void ExpectIdle() {
        QCOMPARE(host_->progress, 0);
        QVERIFY(!host_->copying);
        QVERIFY(Side().Job().entries.empty() && !Side().JobOpen());
        QCOMPARE(host_->status, std::to_string(host_->players) + " iPod detected.");
        QVERIFY(Side().CopyThread()->Ended());
    }

private slots:
    void init() {
        scene_ = std::make_unique<CopyScene>();
        app::TLogClass::SetProgramFolder(scene_->sandbox.path().string());
    }
    void cleanup() {
        scene_->files.Release(); // a held worker could not end
        host_.reset();
        scene_.reset();
    }

    void aTargetFolderThatCannotTakeTheCopiesStartsNoJob_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("on the player") << "player";
        QTest::newRow("a file, not a folder") << "file";
        QTest::newRow("read-only") << "read-only";
    }
    void aTargetFolderThatCannotTakeTheCopiesStartsNoJob() {
        QFETCH(QString, kind);
        const fs::path folder = kind == "player" ? scene_->PlayerRoot() / "iPod_Control" / "iTunes"
                                                 : scene_->sandbox.path() / "elsewhere";
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
        Start(scene_->ThreeTracks());
        Copy(folder);
        QCOMPARE(scene_->told.size(), std::size_t(1));
        QVERIFY2(scene_->told[0].starts_with(reason) && scene_->told[0].ends_with("."),
                 scene_->told[0].c_str());
        QVERIFY(Side().CopyThread() == nullptr && !host_->copying);
    }

    void copyAsksOnlyWithAPlayerAndASelectionAndProposesTheFirstTrack() {
        // Without a player or a selection nothing is asked; the bar starts afresh all the same.
        Start().progress = 40;
        Side().CopyoutSongClick();
        QCOMPARE(host_->progress, 0);
        Start(BuildPlayer(scene_->PlayerRoot(),
                          {{"AC/DC: Live?", "A", "LIVE.mp3"}, {"Last", "A", "LAST.M4A"}}));
        host_->selection.clear();
        Side().CopyoutSongClick();

        host_->selection = {0, 1};
        Side().CopyoutSongClick(); // cancelled
        QCOMPARE(scene_->dialogs.size(), std::size_t(1));
        QCOMPARE(scene_->dialogs[0].title, std::string("Select Directory..."));
        QCOMPARE(scene_->dialogs[0].fileName, std::string("ACDC Live.mp3"));
        QCOMPARE(scene_->dialogs[0].filter, std::string(".mp3"));
        // Cancelled: nothing started, nothing kept.
        QVERIFY(Side().CopyThread() == nullptr && !host_->copying);
        QVERIFY(Side().Job().entries.empty() && FilesIn(Target()).empty());
    }

    void theFinishShowsTheReportBeforeTheSideGoesBackToIdleAndTheNextJobHasItsOwn_data() {
        QTest::addColumn<bool>("byTitleBar");
        QTest::newRow("Close button") << false;
        QTest::newRow("title-bar close") << true;
    }
    void theFinishShowsTheReportBeforeTheSideGoesBackToIdleAndTheNextJobHasItsOwn() {
        QFETCH(bool, byTitleBar);
        QVERIFY(Reported(scene_->ThreeTracks()));
        host_->players = 2;
        // The report is up while the worker waits in its finish message; the host is still in
        // its copying state.
        QCOMPARE(host_->status, std::string(" Copy Finished "));
        QVERIFY(host_->copying && !Side().CopyThread()->Ended());
        QCOMPARE(host_->progressMax, 450);
        QCOMPARE(host_->progress, 450);
        QCOMPARE(ReportColumn(Report(), 0), (Strings{"Big One", "Two", "Three"}));
        QCOMPARE(ReportColumn(Report(), 1),
                 (Strings{Planned("Big One.mp3"), Planned("Two.mp3"), Planned("Three.m4a")}));

        QTest::mouseClick(byTitleBar ? static_cast<QWidget*>(Report()->XP_ButtonSmall3)
                                     : static_cast<QWidget*>(Report()->CloseButton),
                          Qt::LeftButton);
        QVERIFY(!Report()->isVisible());
        ExpectIdle(); // "2 iPod detected."
        QCOMPARE(FilesIn(Target()), (Strings{"Big One.mp3", "Three.m4a", "Two.mp3"}));

        // The next job's report shows that job alone.
        host_->selection = {1}; // "Two"
        Copy();
        QVERIFY(Shown(Report()));
        QCOMPARE(ReportColumn(Report(), 0), Strings{"Two"});
        QCOMPARE(ReportColumn(Report(), 1), Strings{Planned("Two(1).mp3")});

        // Copied again with the skip chosen: the finish counts what was there.
        QTest::mouseClick(Report()->CloseButton, Qt::LeftButton);
        ExpectIdle();
        host_->choices.skipExisting = true;
        Copy();
        QVERIFY(Shown(Report()));
        QCOMPARE(host_->status, std::string(" Copy Finished, 1 already copied "));
    }

    void aRunningCopyShowsItsProgressAndAStopAnsweredNoLetsItGoOn() {
        Start(scene_->ThreeTracks());
        StartHeldJob();
        const int bar = host_->progress;
        QVERIFY(bar > 0 && bar < 450);
        QCOMPARE(host_->progressMax, 450);
        QCOMPARE(host_->status, std::string("(1/3) Copying Big One.mp3"));
        // The first copy is being written under a name of its own.
        const Strings partial = FilesIn(Target());
        QVERIFY(partial.size() == 1 && partial[0].ends_with(".part"));

        bool pausedDuringQuestion = false;
        scene_->answer = [&] {
            // Released inside the question, the worker pauses: it copies nothing meanwhile.
            scene_->files.Release();
            pausedDuringQuestion = Until([&] { return Side().CopyThread()->Parked(); });
            scene_->files.Hold(); // again, before the file's end: the state after the answer stays
            return false;
        };
        Side().StopCopyOutClick();
        QCOMPARE(scene_->questions, Strings{"Stop copy file?"});
        QVERIFY(pausedDuringQuestion);
        // The copy goes on where it paused, in the same file, with nothing reset.
        QVERIFY(Until([&] { return scene_->files.Held(); }));
        QCOMPARE(host_->status, std::string("(1/3) Copying Big One.mp3"));
        QVERIFY(host_->progress > bar && host_->copying);

        scene_->files.Release();
        QVERIFY(Shown(Report()));
        QCOMPARE(host_->status, std::string(" Copy Finished "));
    }

    void stopAnsweredYesEndsTheJobWithItsReport_data() {
        QTest::addColumn<QString>("held");
        QTest::addColumn<bool>("betweenFiles");
        QTest::newRow("in a file") << "BIG.mp3" << false;
        // Read whole at once, then held while its end is looked for: the stop is seen before
        // the next entry.
        QTest::newRow("between files") << "TWO.mp3" << true;
    }
    void stopAnsweredYesEndsTheJobWithItsReport() {
        QFETCH(QString, held);
        QFETCH(bool, betweenFiles);
        std::ofstream(Target() / "Big One.mp3") << "the user's earlier copy";
        Start(scene_->ThreeTracks()).overwrite = true;
        scene_->HoldSource(held.toStdString());
        StartHeldJob();
        scene_->answer = [] { return true; };
        Side().StopCopyOutClick();
        QCOMPARE(host_->status, std::string("3 Files found in your iPod."));
        QVERIFY(!host_->copying);
        QCOMPARE(host_->progress, 0);
        // The stopped worker still holds the job: no second job before its report.
        TCopyThread* first = Side().CopyThread();
        Copy();
        QCOMPARE(scene_->dialogs.size(), std::size_t(1));
        QCOMPARE(Side().CopyThread(), first);

        scene_->files.Release();
        QVERIFY(Shown(Report()));
        QCOMPARE(host_->status, std::string(" Copy Terminated "));
        // Complete copies are kept. The stopped one leaves no file and was never given its
        // name: the file under that name is still the user's, whole.
        const std::string stopped = " Copy Terminated.";
        QCOMPARE(ReportColumn(Report(), 1),
                 (betweenFiles ? Strings{Planned("Big One.mp3"), Planned("Two.mp3"), stopped}
                               : Strings(3, stopped)));
        QCOMPARE(FilesIn(Target()),
                 (betweenFiles ? Strings{"Big One.mp3", "Two.mp3"} : Strings{"Big One.mp3"}));
        QCOMPARE(Contents(Target() / "Big One.mp3") == "the user's earlier copy", !betweenFiles);
        CloseReport(Report());
        ExpectIdle();
        // Now a new job may start.
        scene_->dialogAnswer.reset();
        Side().CopyoutSongClick();
        QCOMPARE(scene_->dialogs.size(), std::size_t(2));
    }

    void theReportGridShowsEveryEntry_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("overwriting off") << false;
        QTest::newRow("overwriting on") << true;
    }
    void theReportGridShowsEveryEntry() {
        QFETCH(bool, overwrite);
        Start(BuildPlayer(scene_->PlayerRoot(), {{"Here", "A", "HERE.mp3", 1500},
                                                 {"Gone", "A", "GONE.mp3", -1},
                                                 {"AC/DC: Taken?", "A", "TAKEN.mp3", 2500}}));
        std::ofstream(Target() / "ACDC Taken.mp3") << "the user's own file";
        host_->overwrite = overwrite;
        Copy();
        QVERIFY(Shown(Report()));

        const std::string taken = Planned(overwrite ? "ACDC Taken.mp3" : "ACDC Taken(1).mp3");
        QCOMPARE(ReportColumn(Report(), 0), (Strings{"Here", "Gone", "AC/DC: Taken?"}));
        QCOMPARE(ReportColumn(Report(), 1),
                 (Strings{Planned("Here.mp3"), " Source file not found.", taken}));
        // The failed entry stands out.
        const QTableWidget* grid = Report()->Reporter;
        for (int column = 0; column < 2; ++column) {
            QCOMPARE(grid->item(1, column)->foreground().color(), TFormReport::FailureColor());
            QVERIFY(grid->item(0, column)->foreground().color() != TFormReport::FailureColor());
        }
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Title"));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Copy path"));
        QCOMPARE(grid->horizontalHeader()->height(), 16);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(grid->rowHeight(row), 16);
        QCOMPARE(grid->columnWidth(0), 166);
        QCOMPARE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
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
        QVERIFY(Reported(
            BuildPlayer(scene_->PlayerRoot(), {{"One", "A", "ONE.mp3", firstMissing ? -1 : 100},
                                               {"Two", "A", "TWO.mp3", allMissing ? -1 : 200}})));
        QTest::mouseClick(Report()->OpenDir, Qt::LeftButton);
        // A double-click on any row, and the popup's item, do the same.
        DoubleClickRow(Report()->Reporter, 1);
        QMenu* menu = RightClick(Report()->Reporter, 1);
        QCOMPARE(menu, Report()->ReporterPopupMenu);
        QVERIFY(ClickEntry(menu, "OpenDirectory"));
        QCOMPARE(scene_->openedFolders, allMissing ? Strings{} : Strings(3, Target().string()));
        QVERIFY(Report()->isVisible());
    }

    void aFailingOpenerIsLoggedToldAndTheReportStays() {
        QVERIFY(Reported(scene_->ThreeTracks()));
        scene_->openResult = platform::Status::Error("no file browser");
        QTest::mouseClick(Report()->OpenDir, Qt::LeftButton);
        QVERIFY(Report()->isVisible());
        QCOMPARE(scene_->told, Strings{"No file browser."});
        QVERIFY(!scene_->toldOverAHiddenWindow);
        const std::string log = Contents(scene_->sandbox.path() / "apces.cnt");
        QVERIFY(log.find("Button2Click:no file browser") != std::string::npos);
    }

    void theSystemsOpenerSaysWhenNoProgramOpensTheFolder() {
        if (QGuiApplication::platformName() == QLatin1String("windows"))
            QSKIP("Windows opens a folder with its own Explorer, which no PATH can take away");
        const ScopedEnv noPrograms("PATH", scene_->sandbox.path().string());
        const platform::Status opened = TCopyEnvironment::System().openFolder(Target().string());
        QCOMPARE(opened.message(), "No program could open the folder " + Target().string() + ".");
    }

    void aWorkerThatFailsStillEndsWithItsReport() {
        scene_->files.failSizes = true;
        QVERIFY(Reported(scene_->ThreeTracks()));
        QCOMPARE(host_->status, std::string(" Copy Terminated "));
        for (const std::string& cell : ReportColumn(Report(), 1))
            QVERIFY2(cell.starts_with(" Copy failed: "), cell.c_str());
        CloseReport(Report());
        ExpectIdle();
    }
};

QTEST_MAIN(CopySideTest)
#include "CopySideTest.moc"
