// Opens the options window over the main window on a player, with the mouse on the "Option"
// button, for a screenshot (scripts/screenshot-options.sh). Not part of the program.
//
// usage: options_window_shot PLAYER

#include "app/TFormMain.h"

#include <QApplication>
#include "app/skin/SkinButton.h"
#include <QTest>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2)
        return 1;
    TMainEnvironment environment = TMainEnvironment::System();
    environment.extraPlayers.push_back(argv[1]);
    TFormMain form(std::move(environment));
    form.show();
    QTimer::singleShot(1000, &form,
                       [&form] { QTest::mouseClick(form.XP_Button3, Qt::LeftButton); });
    return QApplication::exec();
}
