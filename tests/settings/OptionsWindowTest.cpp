// The options window over the real main window (offscreen), opened by a click on "Option". Mouse
// events take the window system's path, so a press reaches the control under the point.

#include "gui/TFormMain.h"
#include "platform/Paths.h"
#include "support/BuiltPlayer.h"
#include "gui/WindowChrome.h"
#include "gui/skin/FlatCheckBox.h"
#include "gui/skin/FlatCheckListBox.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/TitleBarButton.h"
#include "core/settings/RegistrySettings.h"
#include "gui/TFormOption.h"
#include "gui/skin/FlatComboBox.h"
#include "support/SystemMove.h"
#include "support/WindowSandbox.h"

#include <QLineEdit>
#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}
void ClickItem(FlatCheckListBox* list, int item) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->CheckRect(item).center());
}
void ClickBox(FlatCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, box->BoxRect().center());
}

std::vector<int> Widths(const TFormMain& form) {
    std::vector<int> widths;
    for (int column = 1; column <= 10; ++column)
        widths.push_back(form.AdvStringGridSong->columnWidth(column));
    return widths;
}

settings::RegistrySettings Stored() {
    settings::RegistrySettings stored;
    [&] { QVERIFY(settings::ReadRegistry(stored).ok()); }();
    return stored;
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

} // namespace

class OptionsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::WindowSandbox> scratch_;
    std::unique_ptr<TFormMain> form_;

    // Clicks "Option" and runs `act` while the window is shown modally; act must close it (it is
    // closed anyway, so that a failed check cannot hang the test).
    void WithOptions(const std::function<void(TFormOption&)>& act) {
        bool closedByGesture = false;
        QTimer::singleShot(0, form_->FormOption, [&] {
            TFormOption& option = *form_->FormOption;
            const auto close = qScopeGuard([&] {
                if (option.isVisible())
                    option.reject();
            });
            // A window over an active one counts as active at once: wait for the focus.
            QTRY_COMPARE(QApplication::activeWindow(), &option);
            QCOMPARE(QApplication::activeModalWidget(), &option);
            act(option);
            closedByGesture = !option.isVisible();
        });
        Click(form_->XP_Button3);
        QVERIFY(closedByGesture);
    }

private slots:
    void init() {
        scratch_ = std::make_unique<testsupport::WindowSandbox>();
        std::filesystem::create_directories(scratch_->ProgramFolder());
        std::ofstream(scratch_->ProgramFolder() / "ipdes.dll") << "[COLWIDTH]\n3=0\n";
        form_ = std::make_unique<TFormMain>(TMainEnvironment());
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() {
        form_.reset();
        scratch_.reset();
    }

    void showsTheColumnsAndTheSettingsOverTheMainWindowWithFocusOnCancel() {
        form_->DBClickPlaySong = true;
        form_->OverWriteExistFile = false;
        const char* headings[] = {"Title",    "File Size", "Album",     "Artist",   "Genre",
                                  "Filetype", "Comment",   "EQSetting", "Composer", "Grouping"};
        WithOptions([&](TFormOption& option) {
            QCOMPARE(option.ColumnCheckList->count(), 10);
            for (int item = 0; item < 10; ++item) {
                QCOMPARE(option.ColumnCheckList->item(item)->text(), QString(headings[item]));
                QCOMPARE(option.ColumnCheckList->isChecked(item), item != 2); // Album is 0 wide
            }
            QVERIFY(option.PlaySong->isChecked() && !option.OverWrite->isChecked());
            QCOMPARE(QApplication::focusWidget(), option.XP_Button1);
            QCOMPARE(option.pos(), form_->pos() + QPoint((706 - option.width()) / 2,
                                                         (476 - option.height()) / 2));
            // Tab reaches every control, and each has a name for screen readers.
            const std::set<QWidget*> controls = {
                option.ColumnCheckList,      option.PlaySong,          option.OverWrite,
                option.SkipCopied,           option.WriteLists,        option.LayoutBox,
                option.XP_Button2,           option.OpenDir,           option.XP_Button1,
                option.OptionMinimizeButton, option.OptionCloseButton, option.OptionWebButton};
            std::set<QWidget*> reached;
            for (QWidget* control : controls) {
                QVERIFY(!QAccessible::queryAccessibleInterface(control)
                             ->text(QAccessible::Name)
                             .isEmpty());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                reached.insert(QApplication::focusWidget());
            }
            QVERIFY(reached == controls);
            Click(option.XP_Button1);
        });
        // Shown again: the table as it is now, and never off the screen.
        form_->AdvStringGridSong->setColumnWidth(7, 0);
        const QRect area = form_->screen()->availableGeometry();
        form_->move(area.right() - 200, area.bottom() - 100);
        WithOptions([&](TFormOption& option) {
            QVERIFY(!option.ColumnCheckList->isChecked(6) && option.ColumnCheckList->isChecked(5));
            QVERIFY(area.contains(option.geometry()));
            Click(option.XP_Button1);
        });
    }

    void aToggleAppliesEveryItemAtOnceAndNoClosingUndoesIt() {
        form_->AdvStringGridSong->setColumnWidth(1, 150); // the user widened Title
        WithOptions([&](TFormOption& option) {
            ClickItem(option.ColumnCheckList, 2);
            QCOMPARE(Widths(*form_), std::vector<int>({80, 80, 80, 80, 80, 80, 80, 80, 80, 80}));
            for (int item = 0; item < 10; ++item)
                ClickItem(option.ColumnCheckList, item);
            QCOMPARE(Widths(*form_), std::vector<int>(10, 0));
            Click(option.XP_Button1);
        });
        QCOMPARE(Widths(*form_), std::vector<int>(10, 0));
        QCOMPARE(form_->AdvStringGridSong->columnWidth(0), 16); // the play column stays
    }

    void saveSetsTheMainWindowsSettingsWhichReachTheRegistryAtClose() {
        QVERIFY(!form_->DBClickPlaySong && form_->OverWriteExistFile);
        QSignalSpy toWorker(form_.get(), &TFormMain::OverWriteExistFileChanged);
        WithOptions([&](TFormOption& option) {
            ClickBox(option.PlaySong);
            ClickBox(option.OverWrite);
            Click(option.OpenDir);
        });
        QVERIFY(form_->DBClickPlaySong && !form_->OverWriteExistFile);
        QCOMPARE(toWorker.count(), 1);
        QCOMPARE(toWorker.at(0).at(0).toBool(), false);
        QVERIFY(!Stored().DBClickPlaySong && Stored().OverWriteExistFile);
        form_->close();
        QVERIFY(Stored().DBClickPlaySong && !Stored().OverWriteExistFile);
    }

    // The layout field shows where the loaded player's first tracks would go, or why the text
    // cannot be used; "Save" keeps a usable layout and the two copy switches until the close.
    void copyChoicesShowTheirPreviewAndReachTheRegistryAtClose() {
        const std::string player = testsupport::BuildPlayer(
            scratch_->path() / "player", {{"One", "Ann", "A.mp3"}, {"Two", "", "B.mp3"}});
        TMainEnvironment environment;
        environment.extraPlayers = {player};
        form_ = std::make_unique<TFormMain>(std::move(environment));
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        WithOptions([&](TFormOption& option) {
            QCOMPARE(option.LayoutBox->currentText(), QStringLiteral("{title}"));
            QCOMPARE(option.LayoutPreview->text(), QStringLiteral("One.mp3\nTwo.mp3"));
            option.LayoutBox->lineEdit()->selectAll();
            QTest::keyClicks(option.LayoutBox->lineEdit(), QStringLiteral("{artist}/{title}{"));
            QVERIFY(option.LayoutPreview->text().contains(QStringLiteral("unknown field")));
            QTest::keyClick(option.LayoutBox->lineEdit(), Qt::Key_Backspace);
            const QString sep(QChar(platform::kPathSeparator));
            QCOMPARE(option.LayoutPreview->text(),
                     "Ann" + sep + "One.mp3\nUnknown Artist" + sep + "Two.mp3");
            ClickBox(option.SkipCopied);
            ClickBox(option.WriteLists);
            Click(option.OpenDir);
        });
        QCOMPARE(form_->CopyLayout, std::string("{artist}/{title}"));
        QVERIFY(form_->SkipExisting && form_->WritePlaylists);
        QCOMPARE(Stored().CopyLayout, std::string("{title}"));
        form_->close();
        QCOMPARE(Stored().CopyLayout, std::string("{artist}/{title}"));
        QVERIFY(Stored().SkipExisting && Stored().WritePlaylists);
    }

    void closingWithoutSaveKeepsTheSettingsAndTheNewColumns() {
        QSignalSpy toWorker(form_.get(), &TFormMain::OverWriteExistFileChanged);
        const int items[] = {0, 1, 3};
        for (int gesture = 0; gesture < 3; ++gesture) {
            WithOptions([&](TFormOption& option) {
                ClickBox(option.PlaySong);
                ClickBox(option.OverWrite);
                ClickItem(option.ColumnCheckList, items[gesture]);
                if (gesture == 0)
                    Click(option.XP_Button1);
                else if (gesture == 1)
                    Click(option.OptionCloseButton);
                else
                    QTest::keyClick(option.OverWrite, Qt::Key_Escape);
            });
            QVERIFY(!form_->DBClickPlaySong && form_->OverWriteExistFile);
            QCOMPARE(form_->AdvStringGridSong->columnWidth(items[gesture] + 1), 0);
        }
        QCOMPARE(toWorker.count(), 0);
    }

    void restoreDefaultShowsEveryColumnAndResetsOnlyTheBoxes() {
        form_->DBClickPlaySong = true;
        form_->OverWriteExistFile = false;
        form_->AdvStringGridSong->setColumnWidth(1, 150);
        WithOptions([&](TFormOption& option) {
            Click(option.XP_Button2);
            QVERIFY(option.isVisible());
            for (int item = 0; item < 10; ++item)
                QVERIFY(option.ColumnCheckList->isChecked(item));
            QCOMPARE(Widths(*form_), std::vector<int>(10, 80));
            QVERIFY(option.OverWrite->isChecked() && !option.PlaySong->isChecked());
            Click(option.XP_Button1);
        });
        QVERIFY(form_->DBClickPlaySong && !form_->OverWriteExistFile);
        QCOMPARE(Widths(*form_), std::vector<int>(10, 80));
    }

    void titleBarButtonsMinimiseTheProgramAndOpenTheSite() {
        UrlCatcher catcher;
        const QString scheme = app::MakerSiteUrl().scheme();
        QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
        const auto unset = qScopeGuard([&] { QDesktopServices::unsetUrlHandler(scheme); });
        Click(form_->XP_Button5); // the main window's "WebSite"
        WithOptions([&](TFormOption& option) {
            Click(option.OptionWebButton);
            Click(option.OptionMinimizeButton);
            QVERIFY(form_->isMinimized());
            Click(option.XP_Button1);
        });
        QCOMPARE(catcher.opened.size(), 2u);
        QCOMPARE(catcher.opened[1], catcher.opened[0]);
    }

    void theOutlineIsRoundedAndOnlyFreeAreasStartADrag() {
        QStandardItemModel model(0, 11);
        QTableView table;
        table.setModel(&model);
        TFormOption option(&table);
        option.show();
        QVERIFY(QTest::qWaitForWindowActive(&option));
        const QRegion outline = option.mask();
        const int bottom = option.height() - 1;
        QVERIFY(!outline.contains(QPoint(0, 0)) && !outline.contains(QPoint(412, bottom)));
        QVERIFY(outline.contains(QPoint(206, 0)) && outline.contains(QPoint(0, 170)));
        const struct {
            QPoint at;
            bool drags;
        } presses[] = {
            {{200, 15}, true},           {{30, 15}, true},        // title strip, caption
            {{200, bottom - 5}, true},   {{5, bottom - 5}, true}, // bottom strip, its cap
            {{156, 150}, true},          {{30, 252}, true},       // background
            {{0, 150}, false},           {{412, 150}, false},     // the side borders
            {{40, 240}, false},          {{300, 200}, false},     // the two group boxes
            {{60, 100}, false},          {{190, 98}, false},      // the check list, a check box
            {{230, bottom - 50}, false}, {{350, 15}, false},      // "Save", the close button
            {{100, 300}, false},                                  // the layout's group
        };
        testsupport::EndSystemMoves(option.Dragger, &option);
        // A press, a move with the button held and the release.
        auto drags = [&](Qt::MouseButton button, QPoint at) {
            QSignalSpy started(option.Dragger, &app::WindowDragger::DragStarted);
            QTest::mousePress(&option, button, {}, at);
            QTest::mouseMove(&option, at + QPoint(6, 4));
            QTest::mouseRelease(&option, button, {}, at + QPoint(6, 4));
            return started.size() == 1;
        };
        for (const auto& press : presses) {
            const std::unique_ptr<char[]> at(QTest::toString(press.at));
            QVERIFY2(drags(Qt::LeftButton, press.at) == press.drags, at.get());
        }
        QVERIFY(!drags(Qt::RightButton, QPoint(200, 15)));
    }
};

QTEST_MAIN(OptionsWindowTest)
#include "OptionsWindowTest.moc"
