// window_screenshots PLAYER TARGET OUTPUT_FOLDER
//
// Takes screenshots of the windows from the X server's screen (run it under Xvfb, at any
// QT_SCALE_FACTOR, see scripts/screenshot.sh), each of the main window's place with what stands
// over it, outside the rounded outline transparent: the main window on the player
// (main-window.png), its playlists list with one playlist chosen (playlists-list.png), the
// options window over it (options-window.png), a job of every track held part-way
// (copy-progress.png) and then stopped (copy-stopped.png), and a job of one artist's tracks with
// failures, with overwriting off (copy-report.png) and on (copy-report-overwrite.png). The gestures
// are a user's; the folder dialog answers a folder below TARGET and the Stop question is answered
// Yes. Before the jobs the real Stop question is shown (message-box.png) and answered No, and,
// but on Windows, the real folder dialog (copy-dialog.png), accepted as it opens: it gives the
// proposed name in the folder it shows.

#include "gui/TFormMain.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/TabButton.h"
#include "gui/TFormReport.h"
#include "gui/TFormOption.h"
#include "support/Gestures.h"
#include "support/HeldCopyFiles.h"
#include "support/Until.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
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
    std::fprintf(stderr, "window_screenshots: %s\n", message.c_str());
    return 1;
}

// What the screen shows at the window's place; outside its outline (where the screen behind the
// window shows) transparent.
bool Shoot(const QWidget& window, const fs::path& file) {
    QTest::qWait(200); // the last paints reach the X server
    const QRect at = window.geometry();
    const QPixmap shot = window.screen()->grabWindow(0, at.x(), at.y(), at.width(), at.height());
    QImage cut(shot.size(), QImage::Format_ARGB32_Premultiplied);
    cut.setDevicePixelRatio(shot.devicePixelRatio());
    cut.fill(Qt::transparent);
    {
        QPainter painter(&cut);
        if (!window.mask().isEmpty())
            painter.setClipRegion(window.mask());
        painter.drawPixmap(0, 0, shot);
    }
    if (!cut.save(QString::fromStdString(file.string())))
        return false;
    std::printf("Screenshot: %s\n", file.string().c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4)
        return Fail("usage: window_screenshots PLAYER TARGET OUTPUT_FOLDER");
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
    if (!Shoot(form, output / "main-window.png"))
        return Fail("cannot write the screenshots");

    // The playlists list with one playlist chosen; then all tracks again, on the artist tab.
    QTest::mouseClick(form.PlaylistTabButton, Qt::LeftButton);
    const int playlist = testsupport::RowOf(form.PlaylistList, "Road Trip");
    if (playlist < 0)
        return Fail("the player has no playlist Road Trip");
    testsupport::ClickRow(form.PlaylistList, playlist);
    Shoot(form, output / "playlists-list.png");
    testsupport::ClickRow(form.PlaylistList, 0);
    QTest::mouseClick(form.ArtistTabButton, Qt::LeftButton);

    // The options window, opened by its button, shot while it is up and left with Cancel.
    QTimer::singleShot(800, [&] {
        Shoot(form, output / "options-window.png");
        QTest::mouseClick(form.FormOption->XP_Button1, Qt::LeftButton);
    });
    QTest::mouseClick(form.XP_Button3, Qt::LeftButton);

    // The real Stop question, shot and answered No.
    const TCopyEnvironment system = TCopyEnvironment::System();
    QTimer::singleShot(500, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            Shoot(*box, output / "message-box.png");
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    if (system.askYesNo(&form, "Stop copy file?"))
        return Fail("the Stop question was answered Yes");

#ifndef _WIN32
    // Windows shows a folder dialog of its own, which no key sent to Qt's widgets reaches.
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
#endif

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
    Shoot(form, output / "copy-progress.png");
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
        // Named as UTF-8: Windows reads a narrow name in its ANSI code page.
        std::ofstream(target / folder / fs::path(u8"Crème Brûlée 28.mp3")) << "an earlier copy";
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
