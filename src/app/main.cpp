// kestrune: the windowed program.

#include "core/base/ProgramInfo.h"
#include "gui/TFormMain.h"
#include "core/device/DeviceScan.h"
#include "platform/Console.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTableView>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// With KESTRUNE_QUIT_AFTER_FIRST_PAINT set, the program writes "painted" on its standard output
// once the track table has been painted with rows, then quits: start_bench times a start to
// that line.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QTableView* table) : QObject(table), table_(table) {
        table->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_ && table_->model() != nullptr &&
            table_->model()->rowCount() > 0) {
            seen_ = true;
            // Queued: it runs once this paint is done.
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    std::puts("painted");
                    std::fflush(stdout);
                    QApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView* table_;
    bool seen_ = false;
};

} // namespace

int main(int argc, char** argv) {
    // Before the application object: it needs a display, and a version needs none.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs(app::VersionText("kestrune").c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication application(argc, argv);
    // A logout or a kill ends the program as a close would, its copy's partial file removed.
    platform::CatchTermination();
    QGuiApplication::setDesktopFileName(QStringLiteral("net.kestrune.Kestrune"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrune A"));
    QApplication::setApplicationName(QStringLiteral("Kestrune A"));
    QApplication::setWindowIcon(QIcon());

    TMainEnvironment environment = TMainEnvironment::System();
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--player") && i + 1 < arguments.size()) {
            environment.extraPlayers.push_back(arguments[++i].toStdString());
        } else if (arguments[i] == QStringLiteral("--help")) {
            std::puts(
                "Usage: kestrune [--player DIR]...\n"
                "       kestrune --version\n"
                "  --player DIR   list the folder DIR (which holds iPod_Control) as a player,\n"
                "                 as if it had been detected; may be repeated");
            return 0;
        } else {
            std::fprintf(stderr, "kestrune: unknown argument %s (try --help)\n",
                         arguments[i].toLocal8Bit().constData());
            return 1;
        }
    }

    for (const std::string& folder : environment.extraPlayers)
        if (auto why = device::PlayerFolderRejection(folder))
            std::fprintf(stderr, "kestrune: %s\n", why->c_str());

    TFormMain form(std::move(environment));
    if (qEnvironmentVariableIsSet("KESTRUNE_QUIT_AFTER_FIRST_PAINT"))
        new FirstPaintProbe(form.AdvStringGridSong);
    form.show();
    return QApplication::exec();
}
