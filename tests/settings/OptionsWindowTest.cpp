// The options window over the real main window on the offscreen platform, opened by a click on
// "Option" and driven by the mouse and the keys. Mouse events take the window system's path, so
// a press reaches the control under the point.

#include "app/TFormMain.h"
#include "app/skin/FlatCheckBox.h"
#include "app/skin/FlatCheckListBox.h"
#include "app/skin/SkinButton.h"
#include "app/skin/TitleBarButton.h"
#include "settings/RegistrySettings.h"
#include "settings/TFormOption.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QPushButton>
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

namespace fs = std::filesystem;

namespace {

void ClickItemBox(FlatCheckListBox* list, int item) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->CheckRect(item).center());
}

void ClickBox(FlatCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, box->BoxRect().center());
}

std::vector<int> DataColumnWidths(const TFormMain& form) {
    std::vector<int> widths;
    for (int column = 1; column <= 10; ++column)
        widths.push_back(form.AdvStringGridSong->columnWidth(column));
    return widths;
}

// Where the web buttons send the user.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

// The window on its own, telling the drags it would hand to the system.
class DragCountingOption : public TFormOption {
public:
    using TFormOption::TFormOption;
    int drags = 0;

protected:
    void StartDrag() override { ++drags; }
};

settings::RegistrySettings Stored() {
    settings::RegistrySettings stored;
    [&] { QVERIFY(settings::ReadRegistry(stored).ok()); }();
    return stored;
}

} // namespace

class OptionsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> scratch_;
    std::unique_ptr<testsupport::ScopedUserFolders> folders_;

    std::unique_ptr<TFormMain> Start() {
        TMainEnvironment environment;
        environment.removableRoots = [] { return std::vector<std::string>(); };
        auto form = std::make_unique<TFormMain>(std::move(environment));
        form->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(form.get())); }();
        return form;
    }

    // Clicks "Option" and runs `act` while the window is shown modally; act ends with a gesture
    // that closes it (the window is closed anyway, so that a failed check cannot hang the test).
    static void WithOptions(TFormMain& form, const std::function<void(TFormOption&)>& act) {
        bool closedByGesture = false;
        QTimer::singleShot(0, form.FormOption, [&] {
            TFormOption& option = *form.FormOption;
            const auto close = qScopeGuard([&] {
                if (option.isVisible())
                    option.reject();
            });
            // A window standing over an active one counts as active at once: wait for the focus.
            QTRY_COMPARE(QApplication::activeWindow(), &option);
            QCOMPARE(QApplication::activeModalWidget(), &option);
            act(option);
            closedByGesture = !option.isVisible();
        });
        QTest::mouseClick(form.XP_Button3, Qt::LeftButton);
        QVERIFY(closedByGesture);
    }

private slots:
    void init() {
        scratch_ = std::make_unique<testsupport::TempDir>();
        folders_ = std::make_unique<testsupport::ScopedUserFolders>(scratch_->path().string());
    }
    void cleanup() {
        folders_.reset();
        scratch_.reset();
    }

    void showsTheTableColumnsAndTheHandedSettingsCentredWithFocusOnCancel() {
        const fs::path folder = scratch_->path() / "data" / "kestrune";
        fs::create_directories(folder);
        std::ofstream(folder / "ipdes.dll") << "[COLWIDTH]\n3=0\n";
        auto form = Start();
        form->DBClickPlaySong = true;
        form->OverWriteExistFile = false;
        const char* headings[] = {"Title",    "File Size", "Album",     "Artist",   "Genre",
                                  "Filetype", "Comment",   "EQSetting", "Composer", "Grouping"};
        // Twice: each showing reads the table as it is then.
        for (int hidden : {2, 6}) {
            WithOptions(*form, [&](TFormOption& option) {
                QCOMPARE(option.ColumnCheckList->count(), 10);
                for (int item = 0; item < 10; ++item) {
                    QCOMPARE(option.ColumnCheckList->item(item)->text(),
                             QString::fromLatin1(headings[item]));
                    QCOMPARE(option.ColumnCheckList->isChecked(item), item != 2 && item != hidden);
                }
                QVERIFY(option.PlaySong->isChecked());
                QVERIFY(!option.OverWrite->isChecked());
                QCOMPARE(QApplication::focusWidget(), option.XP_Button1);
                QCOMPARE(option.pos(), form->pos() + QPoint((706 - 413) / 2, (476 - 341) / 2));
                QTest::mouseClick(option.XP_Button1, Qt::LeftButton);
            });
            form->AdvStringGridSong->setColumnWidth(7, 0);
        }
    }

    void opensOnTheScreenWhereverTheMainWindowIs() {
        auto form = Start();
        const QRect area = form->screen()->availableGeometry();
        form->move(area.right() - 200, area.bottom() - 100);
        WithOptions(*form, [&](TFormOption& option) {
            QVERIFY(area.contains(option.geometry()));
            QTest::keyClick(&option, Qt::Key_Escape);
        });
    }

    void aToggleAppliesEveryItemToTheTableAtOnce() {
        auto form = Start();
        form->AdvStringGridSong->setColumnWidth(1, 150); // the user widened Title
        WithOptions(*form, [&](TFormOption& option) {
            ClickItemBox(option.ColumnCheckList, 2);
            QCOMPARE(DataColumnWidths(*form),
                     std::vector<int>({80, 80, 0, 80, 80, 80, 80, 80, 80, 80}));
            ClickItemBox(option.ColumnCheckList, 2);
            QCOMPARE(form->AdvStringGridSong->columnWidth(3), 80);
            // The keys toggle the current item as well.
            option.ColumnCheckList->setFocus();
            for (int item = 0; item < 10; ++item) {
                option.ColumnCheckList->setCurrentRow(item);
                QTest::keyClick(option.ColumnCheckList->viewport(), Qt::Key_Space);
            }
            QTest::mouseClick(option.XP_Button1, Qt::LeftButton);
        });
        // Cancel does not undo the columns; the play column stays.
        QCOMPARE(DataColumnWidths(*form), std::vector<int>(10, 0));
        QCOMPARE(form->AdvStringGridSong->columnWidth(0), 16);
    }

    void saveSetsTheMainWindowsSettingsWhichReachTheRegistryAtClose() {
        auto form = Start();
        QVERIFY(!form->DBClickPlaySong && form->OverWriteExistFile);
        QSignalSpy toWorker(form.get(), &TFormMain::OverWriteExistFileChanged);
        WithOptions(*form, [&](TFormOption& option) {
            ClickBox(option.PlaySong);
            ClickBox(option.OverWrite);
            QTest::mouseClick(option.OpenDir, Qt::LeftButton);
        });
        QVERIFY(form->DBClickPlaySong);
        QVERIFY(!form->OverWriteExistFile);
        QCOMPARE(toWorker.count(), 1);
        QCOMPARE(toWorker.at(0).at(0).toBool(), false);
        QVERIFY(!Stored().DBClickPlaySong && Stored().OverWriteExistFile);
        form->close();
        QVERIFY(Stored().DBClickPlaySong && !Stored().OverWriteExistFile);
    }

    void closingWithoutSaveKeepsTheSettingsAndTheColumns_data() {
        QTest::addColumn<int>("gesture");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("close button") << 1;
        QTest::newRow("Escape") << 2;
    }
    void closingWithoutSaveKeepsTheSettingsAndTheColumns() {
        QFETCH(int, gesture);
        auto form = Start();
        QSignalSpy toWorker(form.get(), &TFormMain::OverWriteExistFileChanged);
        WithOptions(*form, [&](TFormOption& option) {
            ClickBox(option.PlaySong);
            ClickBox(option.OverWrite);
            ClickItemBox(option.ColumnCheckList, 0);
            if (gesture == 0)
                QTest::mouseClick(option.XP_Button1, Qt::LeftButton);
            else if (gesture == 1)
                QTest::mouseClick(option.OptionCloseButton, Qt::LeftButton);
            else
                QTest::keyClick(option.OverWrite, Qt::Key_Escape);
        });
        QVERIFY(!form->DBClickPlaySong && form->OverWriteExistFile);
        QCOMPARE(toWorker.count(), 0);
        QCOMPARE(form->AdvStringGridSong->columnWidth(1), 0);
    }

    void restoreDefaultShowsEveryColumnAndResetsOnlyTheBoxes() {
        auto form = Start();
        form->DBClickPlaySong = true;
        form->OverWriteExistFile = false;
        form->AdvStringGridSong->setColumnWidth(1, 150);
        form->AdvStringGridSong->setColumnWidth(3, 0);
        WithOptions(*form, [&](TFormOption& option) {
            QTest::mouseClick(option.XP_Button2, Qt::LeftButton);
            QVERIFY(option.isVisible());
            for (int item = 0; item < 10; ++item)
                QVERIFY(option.ColumnCheckList->isChecked(item));
            QCOMPARE(DataColumnWidths(*form), std::vector<int>(10, 80));
            QVERIFY(option.OverWrite->isChecked());
            QVERIFY(!option.PlaySong->isChecked());
            QTest::mouseClick(option.XP_Button1, Qt::LeftButton);
        });
        QVERIFY(form->DBClickPlaySong && !form->OverWriteExistFile);
        QCOMPARE(DataColumnWidths(*form), std::vector<int>(10, 80));
    }

    void titleBarButtonsMinimiseTheProgramAndOpenTheSite() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("https"); });
        auto form = Start();
        QTest::mouseClick(form->XP_Button5, Qt::LeftButton); // the main window's "WebSite"
        WithOptions(*form, [&](TFormOption& option) {
            QTest::mouseClick(option.OptionWebButton, Qt::LeftButton);
            QTest::mouseClick(option.OptionMinimizeButton, Qt::LeftButton);
            QVERIFY(form->isMinimized());
            QTest::mouseClick(option.XP_Button1, Qt::LeftButton);
        });
        QCOMPARE(catcher.opened.size(), 2u);
        QCOMPARE(catcher.opened[1], catcher.opened[0]);
    }

    void theOutlineIsRoundedAndOnlyFreeAreasStartADrag() {
        QStandardItemModel model(0, 11);
        QTableView table;
        table.setModel(&model);
        DragCountingOption option(&table, QUrl());
        option.show();
        QVERIFY(QTest::qWaitForWindowActive(&option));
        const QRegion outline = option.mask();
        QVERIFY(!outline.contains(QPoint(0, 0)) && !outline.contains(QPoint(412, 340)));
        QVERIFY(outline.contains(QPoint(206, 0)) && outline.contains(QPoint(0, 170)));

        const struct {
            QPoint at;
            bool drags;
        } presses[] = {
            {{200, 15}, true},   {{30, 15}, true},    // title strip, caption
            {{200, 335}, true},  {{5, 335}, true},    // bottom strip, its cap
            {{156, 150}, true},  {{30, 265}, true},   // background
            {{0, 150}, false},   {{412, 150}, false}, // the side borders
            {{40, 240}, false},  {{300, 200}, false}, // the two group boxes
            {{60, 100}, false},  {{190, 98}, false},  // the check list, a check box
            {{230, 290}, false}, {{350, 15}, false},  // "Save", the close button
        };
        for (const auto& press : presses) {
            option.drags = 0;
            QTest::mousePress(&option, Qt::LeftButton, {}, press.at);
            QTest::mouseRelease(&option, Qt::LeftButton, {}, QPoint(156, 260));
            QVERIFY2(option.isVisible(),
                     qPrintable(QStringLiteral("%1,%2").arg(press.at.x()).arg(press.at.y())));
            QCOMPARE(option.drags, press.drags ? 1 : 0);
        }
        option.drags = 0;
        QTest::mouseClick(&option, Qt::RightButton, {}, QPoint(200, 15));
        QCOMPARE(option.drags, 0);
    }

    void tabReachesEveryControlAndEachHasAName() {
        auto form = Start();
        WithOptions(*form, [&](TFormOption& option) {
            const std::set<QWidget*> controls = {
                option.ColumnCheckList,      option.PlaySong,          option.OverWrite,
                option.XP_Button2,           option.OpenDir,           option.XP_Button1,
                option.OptionMinimizeButton, option.OptionCloseButton, option.OptionWebButton};
            std::set<QWidget*> reached;
            for (std::size_t i = 0; i < controls.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                reached.insert(QApplication::focusWidget());
            }
            QVERIFY(reached == controls);
            for (QWidget* control : controls)
                QVERIFY(!QAccessible::queryAccessibleInterface(control)
                             ->text(QAccessible::Name)
                             .isEmpty());
            // Space on a focused check box toggles it, as on any check box.
            option.PlaySong->setFocus();
            QTest::keyClick(option.PlaySong, Qt::Key_Space);
            QVERIFY(option.PlaySong->isChecked());
            QTest::keyClick(option.XP_Button1, Qt::Key_Escape);
        });
    }
};

QTEST_MAIN(OptionsWindowTest)
#include "OptionsWindowTest.moc"
