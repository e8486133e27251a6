// copy_screenshots PLAYER TARGET OUTPUT_FOLDER
//
// Takes screenshots of the copy in the window, from the X server's screen (run it under Xvfb,
// see scripts/screenshot.sh): a job of every track held part-way (copy-progress.png) and then
// stopped (copy-stopped.png), and a job of one artist's tracks with failures, with overwriting
// off (copy-report.png) and on (copy-report-overwrite.png). The gestures are a user's; the folder
// dialog answers a folder below TARGET and the Stop question is answered Yes. First the real
// folder dialog is shown (copy-dialog.png) and accepted as it opens: it gives the proposed name
// in the folder it shows.

#include "app/TFormMain.h"
#include "app/skin/SkinButton.h"
#include "copy/TFormReport.h"
#include "support/Gestures.h"
#include "support/HeldCopyFiles.h"
#include "support/Until.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "copy_screenshots: %s\n", message.c_str());
    return 1;
}

bool Shoot(const QWidget& window, const fs::path& file) {
    QCoreApplication::processEvents();
    const QRect at = window.geometry();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), at.width(), at.height());
    if (!shot.save(QString::fromStdString(file.string())))
        return false;
    std::printf("Screenshot: %s\n", file.string().c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4)
        return Fail("usage: copy_screenshots PLAYER TARGET OUTPUT_FOLDER");
    const std::string player = argv[1];
    const fs::path target = argv[2];
    const fs::path output = argv[3];

    testsupport::HeldCopyFiles files;
    std::string folder;
    TMainEnvironment environment;
    environment.removableRoots = [&] { return std::vector<std::string>{player}; };
    environment.copy.askTargetFile = [&](QWidget*, const TFolderDialogRequest& request) {
        return std::optional<std::string>((target / folder / request.fileName).string());
    };
    environment.copy.askYesNo = [](QWidget*, const std::string&) { return true; };
    environment.copy.openFolder = [](const std::string&) { return platform::Status::Ok(); };
    environment.copy.copyFiles = &files;
    TFormMain form(std::move(environment));
    form.show();
    if (!testsupport::Until([&] { return form.iPodFound && form.isVisible(); }))
        return Fail("no player at " + player);
    TFormReport* report = form.CopySide().FormReport();

    const TCopyEnvironment system = TCopyEnvironment::System();
    QTimer::singleShot(500, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        Shoot(*dialog, output / "copy-dialog.png");
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    const auto chosen = system.askTargetFile(
        &form, {"Select Directory...", "Crème Brûlée 28.mp3", std::string(".mp3")});
    if (!chosen)
        return Fail("the folder dialog gave no path");
    std::printf("The folder dialog gave %s\n", chosen->c_str());

    // Every track, held while the 25th file is copied; then stopped.
    folder = "all";
    fs::create_directories(target / folder);
    std::atomic<int> opened{0};
    files.holds = [&](const std::string&) { return ++opened == 25; };
    files.Hold();
    form.AdvStringGridSong->setFocus();
    QTest::keyClick(form.AdvStringGridSong, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(form.ButtonCopy, Qt::LeftButton);
    if (!testsupport::Until([&] { return files.Held(); }))
        return Fail("the copy was not held");
    if (!Shoot(form, output / "copy-progress.png"))
        return Fail("cannot write the screenshots");
    QTest::mouseClick(form.ButtonCopy, Qt::LeftButton); // "Stop", answered Yes
    files.Release();
    if (!testsupport::Until([&] { return report->isVisible(); }))
        return Fail("no report after the stop");
    Shoot(form, output / "copy-stopped.png");
    QTest::mouseClick(report->CloseButton, Qt::LeftButton);

    // One artist's tracks: one of them has no file on the player, and one copy's name is taken.
    files.holds = nullptr;
    for (const bool overwrite : {false, true}) {
        folder = overwrite ? "artist-overwrite" : "artist";
        fs::create_directories(target / folder);
        std::ofstream(target / folder / "Crème Brûlée 28.mp3") << "an earlier copy";
        form.OverWriteExistFile = overwrite;
        const int row = testsupport::RowOf(form.ArtistList, "Sigur Rós");
        if (row < 0)
            return Fail("the player has no tracks by Sigur Rós (make it with --seed 5)");
        testsupport::ClickRow(form.ArtistList, row);
        form.AdvStringGridSong->setFocus();
        QTest::keyClick(form.AdvStringGridSong, Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(form.ButtonCopy, Qt::LeftButton);
        if (!testsupport::Until([&] { return report->isVisible(); }))
            return Fail("no report");
        Shoot(form, output / (overwrite ? "copy-report-overwrite.png" : "copy-report.png"));
        QTest::mouseClick(report->CloseButton, Qt::LeftButton);
    }
    return 0;
}
