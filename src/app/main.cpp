// kestrune: the windowed program.

#include "core/base/ProgramInfo.h"
#include "gui/TFormMain.h"
#include "core/device/DeviceScan.h"
#include "platform/Console.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <string>

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
    form.show();
    return QApplication::exec();
}
