// The main window as the program makes it, on the windows platform: a player's drive letter
// that comes and goes, announced by WM_DEVICECHANGE as Windows sends it to the window, and a
// track whose type no program is set to open.

#include "gui/PlayerSelector.h"
#include "gui/TFormMain.h"
#include "gui/TrackTableModel.h"
#include "support/BuiltPlayer.h"
#include "support/Gestures.h"
#include "support/WindowSandbox.h"

#include <QLabel>
#include <QTableView>
#include <QTest>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text)); // the script's paths are ASCII
}

bool Lists(const TFormMain& form, const std::string& root) {
    const auto roots = form.iPodSelectorCom->Roots();
    return std::find(roots.begin(), roots.end(), root) != roots.end();
}

// What Windows sends every top-level window when a volume comes or goes.
void Announce(TFormMain& form, WPARAM event, char letter) {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - 'a');
    SendMessageW(reinterpret_cast<HWND>(form.winId()), WM_DEVICECHANGE, event,
                 reinterpret_cast<LPARAM>(&volume));
}

} // namespace

class MainWindowWinTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::WindowSandbox> scratch_;

private slots:
    void init() { scratch_ = std::make_unique<testsupport::WindowSandbox>(); }
    void cleanup() { scratch_.reset(); }

    void aDriveThatComesAndGoesIsListedAndLeaves() {
        // scripts/test-windows.sh maps the drive to a folder that is not there yet; the
        // player waits beside it.
        const char* drive = std::getenv("KESTRUNE_TEST_ARRIVING_DRIVE");
        const char* waiting = std::getenv("KESTRUNE_TEST_WAITING_PLAYER");
        const char* arriving = std::getenv("KESTRUNE_TEST_ARRIVING_FOLDER");
        if (drive == nullptr || waiting == nullptr || arriving == nullptr)
            QSKIP("No drive to come and go: scripts/test-windows.sh maps one");
        const std::string root(drive);
        TFormMain form(TMainEnvironment::System());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!Lists(form, root));

        QVERIFY(MoveFileW(Wide(waiting).c_str(), Wide(arriving).c_str()));
        Announce(form, DBT_DEVICEARRIVAL, root[0]);
        QTRY_VERIFY(Lists(form, root));

        const bool back = MoveFileW(Wide(arriving).c_str(), Wide(waiting).c_str());
        QVERIFY(back);
        Announce(form, DBT_DEVICEREMOVECOMPLETE, root[0]);
        QTRY_VERIFY(!Lists(form, root));
    }

    void aTrackNoProgramOpensIsSaidSo() {
        TMainEnvironment environment = TMainEnvironment::System();
        environment.removableRoots = [] { return std::vector<std::string>(); };
        // A type no installation sets a program for.
        environment.extraPlayers = {
            testsupport::BuildPlayer(scratch_->path() / "player", {{"One", "A", "ONE.aiff"}})};
        TFormMain form(std::move(environment));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.DBClickPlaySong = true;
        testsupport::DoubleClickRow(form.AdvStringGridSong, 0);
        QCOMPARE(form.Notifier->text(), QStringLiteral("No program is set to open this file"));
        QVERIFY(form.Notifier->toolTip().contains(QStringLiteral("ONE.aiff")));
    }
};

QTEST_MAIN(MainWindowWinTest)
#include "MainWindowWinTest.moc"
