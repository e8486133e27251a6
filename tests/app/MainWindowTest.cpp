// The real main window on copies of the fixture players, on the offscreen platform. Mouse
// events go through the window system's path (QTEST_QPA_MOUSE_HANDLING), as a user's do: to the
// widget under the point, with popups grabbing the mouse and context-menu events following a
// right-click.

#include "gui/PlayerSelector.h"
#include "core/settings/SettingsStore.h"
#include "gui/TFormMain.h"
#include "gui/skin/TabButton.h"
#include "gui/skin/TitleBarButton.h"
#include "gui/CategoryListModel.h"
#include "core/library/Listing.h"
#include "gui/TrackTableModel.h"
#include "platform/Text.h"
#include "support/BuiltPlayer.h"
#include "support/Gestures.h"
#include "support/TempDir.h"
#include "support/WindowSandbox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace fs = std::filesystem;
using testsupport::Action;
using testsupport::ClickRow;
using testsupport::CloseMenu;
using testsupport::DoubleClickRow;
using testsupport::HeaderPoint;
using testsupport::RightClick;
using testsupport::RowOf;
using testsupport::RowPoint;
using testsupport::TrackSpec;

namespace {

const fs::path kFixtures = KESTRUNE_FIXTURES_DIR;

std::string Text(const QLabel* label) {
    return label->text().toStdString();
}

std::string Tip(const QLabel* label) {
    return label->toolTip().toStdString();
}

std::string Cell(const TFormMain& form, int row, int column) {
    return form.SongModel->index(row, column).data().toString().toStdString();
}

std::vector<std::string> Column(const TFormMain& form, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < form.SongModel->rowCount(); ++row)
        cells.push_back(Cell(form, row, column));
    return cells;
}

// Opens a table's menu with a right-click that marks nothing (the header, or "All ...") and
// clicks one of its entries.
void ChooseFromMenu(QTableView* view, const char* entry) {
    QMenu* menu = RightClick(view, view->horizontalHeader()->isVisible() ? -1 : 0);
    QVERIFY(menu != nullptr);
    QAction* action = nullptr;
    for (QAction* candidate : menu->actions())
        if (candidate->objectName() == QLatin1String(entry))
            action = candidate;
    QVERIFY(action != nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QVERIFY(QApplication::activePopupWidget() == nullptr);
}

std::set<int> Marked(const QTableView* view) {
    std::set<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.insert(index.row());
    return rows;
}

// Opens the selector's list with the mouse, on the box or on its drop button, moves onto an
// entry and clicks it. The move starts at the entry's left end: a list that opens under the mouse
// ignores a release near the click that opened it.
enum class Opener { Box, DropButton };
void ChooseWithMouse(PlayerSelector* selector, int entry, Opener opener = Opener::Box) {
    QSignalSpy closeUps(selector, &PlayerSelector::CloseUp);
    if (opener == Opener::DropButton)
        QTest::mouseClick(selector->dropButton(), Qt::LeftButton);
    else
        QTest::mouseClick(selector, Qt::LeftButton, {}, QPoint(20, selector->height() / 2));
    QAbstractItemView* list = selector->view();
    QVERIFY(list->isVisible());
    // Only the visible part of the entry: a list as narrow as the box (the Windows style's)
    // cuts a long entry at its right edge.
    const QRect rect =
        list->visualRect(list->model()->index(entry, 0)).intersected(list->viewport()->rect());
    QTest::mouseMove(list->viewport(), QPoint(rect.left() + 2, rect.center().y()));
    QTest::mouseMove(list->viewport(), rect.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(!list->isVisible());
    // The close-up follows once the list has gone, and only once.
    QTRY_COMPARE(closeUps.size(), 1);
}

// Opens the selector's list with F4, moves in it with the arrow keys and takes the entry with
// Enter (or leaves with Escape).
void ChooseWithKeys(PlayerSelector* selector, int moves, int closingKey = Qt::Key_Return) {
    QSignalSpy closeUps(selector, &PlayerSelector::CloseUp);
    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_F4);
    QAbstractItemView* list = selector->view();
    QVERIFY(list->isVisible());
    for (int i = 0; i < std::abs(moves); ++i)
        QTest::keyClick(list, moves > 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, static_cast<Qt::Key>(closingKey));
    QVERIFY(!list->isVisible());
    QTRY_COMPARE(closeUps.size(), 1);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // A private settings store and program folder, and copies of the players, per test.
    std::unique_ptr<testsupport::WindowSandbox> scratch_;
    std::vector<std::string> removable_;
    std::vector<std::string> opened_;
    std::function<void()> deviceChanged_;

    std::string CopyPlayer(const std::string& name) {
        const fs::path target = scratch_->path() / name;
        testsupport::CopyTree(kFixtures / "players/generated-40", target);
        return target.string();
    }

    std::string BuildPlayer(const std::string& name, const std::vector<TrackSpec>& tracks) {
        return testsupport::BuildPlayer(scratch_->path() / name, tracks);
    }

    // Three tracks, all by AC/DC, where the fixture player has four by AC/DC among forty.
    std::string SmallPlayer(const std::string& name) {
        return BuildPlayer(name, {{"Small One", "AC/DC", "ONE.mp3"},
                                  {"Small Two", "AC/DC", "TWO.mp3"},
                                  {"Small Three", "AC/DC", "THRE.mp3"}});
    }

    std::unique_ptr<TFormMain> Start(std::vector<std::string> extraPlayers = {},
                                     settings::TSettingsStore* store = nullptr) {
        TMainEnvironment environment;
        environment.settings = store;
        environment.removableRoots = [this] { return removable_; };
        environment.extraPlayers = std::move(extraPlayers);
        environment.namedFolderCheckMilliseconds = 20;
        environment.openFile = [this](const std::string& path) {
            opened_.push_back(path);
            return platform::Status::Ok();
        };
        environment.watchDevices = [this](std::function<void()> changed) {
            deviceChanged_ = std::move(changed);
            return std::unique_ptr<platform::DeviceWatcher>();
        };
        auto form = std::make_unique<TFormMain>(std::move(environment));
        form->show();
        return form;
    }

    // What the device watcher reports when volumes come or go.
    void NoticeDeviceChange() {
        QVERIFY(deviceChanged_);
        deviceChanged_();
    }

    fs::path ProgramFolder() const { return scratch_->ProgramFolder(); }

    std::string LogText() const {
        std::ifstream in(ProgramFolder() / "apces.cnt");
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

private slots:
    void init() {
        scratch_ = std::make_unique<testsupport::WindowSandbox>();
        removable_.clear();
        opened_.clear();
        deviceChanged_ = nullptr;
    }
    void cleanup() { scratch_.reset(); }

    void startsWithoutAPlayer() {
        auto form = Start();
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->currentText(), QStringLiteral("Please connect your iPod"));
        QCOMPARE(Text(form->Notifier), std::string("Please connect your iPod"));
        QVERIFY(!form->iPodFound);
        QCOMPARE(form->SongModel->rowCount(), 0);
        // Defaults of a first run: overwrite on, double-click play off, all columns 80 wide.
        QVERIFY(form->OverWriteExistFile);
        QVERIFY(!form->DBClickPlaySong);
        QCOMPARE(form->AdvStringGridSong->columnWidth(0), 16);
        for (int column = 1; column <= 10; ++column)
            QCOMPARE(form->AdvStringGridSong->columnWidth(column), 80);
        QVERIFY(form->ArtistList->isVisibleTo(form.get()));
        QVERIFY(!form->AlbumList->isVisibleTo(form.get()));
        // The selector does nothing while it only asks for a player.
        form->iPodFound = true;
        ChooseWithMouse(form->iPodSelectorCom, 0);
        QVERIFY(form->CurrentiPod.empty());
        QVERIFY(form->iPod.iPodPath.empty());
        QCOMPARE(form->iPodSelectorCom->currentText(), QStringLiteral("Please connect your iPod"));
    }

    // Windows' styles measure taller rows from the font, and a style sheet keeps a header's
    // font from the viewport it paints on.
    void tablesHaveTheSkinsRowsAndBoldHeaders() {
        auto form = Start();
        QCOMPARE(form->AdvStringGridSong->verticalHeader()->defaultSectionSize(), 16);
        QCOMPARE(form->ArtistList->verticalHeader()->defaultSectionSize(), 16);
        const QFont header = form->AdvStringGridSong->horizontalHeader()->viewport()->font();
        QVERIFY(header.bold());
        QCOMPARE(header.pixelSize(), 11);
    }

    void loadsTheOnePlayerFound() {
        const std::string player = CopyPlayer("IPOD");
        removable_ = {player};
        auto form = Start();
        QVERIFY(form->iPodFound);
        QCOMPARE(form->CurrentiPod, player);
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        // Not a mounted volume here, so it has no label.
        QCOMPARE(form->iPodSelectorCom->currentText().toStdString(), " []  " + player);
        QCOMPARE(form->SongModel->rowCount(), 40);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));
        QCOMPARE(Cell(*form, 0, 1), std::string("Love Me Do 0"));
        QCOMPARE(Cell(*form, 0, 2), std::string("0.01MB"));
        QVERIFY(!form->SongModel->index(0, 0).data(Qt::DecorationRole).isNull());
        // "Prince" and "prince" are one artist; the list starts with All ...
        QCOMPARE(form->ArtistModel->EntryText(0), std::string("All ..."));
        QVERIFY(RowOf(form->ArtistList, "Prince") > 0);
        QCOMPARE(RowOf(form->ArtistList, "prince"), -1);
        QCOMPARE(form->FileTypeModel->EntryText(1), std::string(""));
        // The database was copied once into the program folder.
        QVERIFY(fs::exists(ProgramFolder() / "Idb.ant"));
        QCOMPARE(fs::file_size(ProgramFolder() / "Idb.ant"),
                 fs::file_size(kFixtures / "players/generated-40/iPod_Control/iTunes/iTunesDB"));
    }

    void listsTwoPlayersAndLoadsTheFirst() {
        const std::string first = CopyPlayer("A");
        const std::string second = CopyPlayer("B");
        auto form = Start({second, first});
        QCOMPARE(form->iPodSelectorCom->count(), 2);
        QCOMPARE(form->iPodSelectorCom->itemText(0).toStdString(), " [b]  " + second);
        QCOMPARE(form->iPodSelectorCom->itemText(1).toStdString(), " [a]  " + first);
        QCOMPARE(form->CurrentiPod, second);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));

        // Choosing the other entry loads it.
        fs::remove(fs::path(first) / "iPod_Control/Music/F00/RXAA.wav");
        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->CurrentiPod, first);
        QCOMPARE(Cell(*form, 0, 2), std::string(""));
    }

    void arrivalOfASecondPlayerKeepsTheCurrentOne() {
        const std::string first = CopyPlayer("first");
        removable_ = {first};
        auto form = Start();
        const std::string second = CopyPlayer("another");
        removable_ = {second, first};
        NoticeDeviceChange();
        QCOMPARE(form->iPodSelectorCom->count(), 2);
        // The entry shown is the player loaded, wherever the scan lists it.
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 1);
        QCOMPARE(form->CurrentiPod, first);
        QCOMPARE(form->iPod.iPodPath, first);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));
    }

    void arrivalAfterStartingWithoutAPlayerLoadsIt() {
        auto form = Start();
        removable_ = {CopyPlayer("late")};
        NoticeDeviceChange();
        QVERIFY(form->iPodFound);
        QCOMPARE(form->SongModel->rowCount(), 40);
        // Only a player found at start-up is copied.
        QVERIFY(!fs::exists(ProgramFolder() / "Idb.ant"));
    }

    void statusTextsOfEveryMode() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        form->DisPlaySongs(TDisplayMode::dmAlbums, {"purple rain", "Bookends"});
        QCOMPARE(Text(form->Notifier), std::string("Files in album purple rain,Bookends"));
        QCOMPARE(form->SongModel->rowCount(), 11);
        form->DisPlaySongs(TDisplayMode::dmFileTypes, {"WAV audio file", "MPEG audio file"});
        QCOMPARE(Text(form->Notifier), std::string("WAV audio file Files"));
        QCOMPARE(form->SongModel->rowCount(), 18);
        form->DisPlaySongs(TDisplayMode::dmArtists,
                           {"The Beatles", "Sigur R\u00F3s", "Guns N' Roses", "AC/DC"});
        // 16 + 46 characters: cut after the 46th.
        QCOMPARE(Text(form->Notifier),
                 std::string("Files by artist The Beatles,Sigur R\u00F3s,Guns N' ..."));
        form->ShowStatus("kept");
        form->DisPlaySongs(TDisplayMode::dmEmpty);
        QCOMPARE(Text(form->Notifier), std::string("kept"));
        QCOMPARE(form->SongModel->rowCount(), 1);
        QCOMPARE(Cell(*form, 0, 1), std::string(""));
    }

    void categorySelectionNarrowsTheTable() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        QTest::mouseClick(form->AlbumTabButton, Qt::LeftButton);
        ClickRow(form->AlbumList, RowOf(form->AlbumList, "Bookends"));
        QCOMPARE(form->SongModel->rowCount(), 3);
        QCOMPARE(Text(form->Notifier), std::string("Files in album Bookends"));

        ClickRow(form->AlbumList, RowOf(form->AlbumList, "Lemonade"), Qt::ControlModifier);
        QCOMPARE(form->SongModel->rowCount(), 5); // a union, never an intersection

        // A click in another list clears this one and lists only its own choice.
        QTest::mouseClick(form->ArtistTabButton, Qt::LeftButton);
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "R.E.M."));
        QVERIFY(form->AlbumList->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(Text(form->Notifier), std::string("Files by artist R.E.M."));
        QCOMPARE(form->SongModel->rowCount(), 2);

        // All ... with other entries lists everything.
        ClickRow(form->ArtistList, 0, Qt::ControlModifier);
        QCOMPARE(form->SongModel->rowCount(), 40);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));

        // The empty file type lists the tracks without one.
        QTest::mouseClick(form->FileTypeTabButton, Qt::LeftButton);
        ClickRow(form->FileTypeList, 1);
        QCOMPARE(form->SongModel->rowCount(), 7);

        // During a copy a click marks the entry but the table stays.
        form->Copying = true;
        QTest::mouseClick(form->ArtistTabButton, Qt::LeftButton);
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "Björk"));
        QCOMPARE(form->SongModel->rowCount(), 7);
        QCOMPARE(form->ArtistList->selectionModel()->selectedRows().size(), 1);
    }

    void aPlaylistListsItsTracksInItsOrder() {
        removable_ = {testsupport::BuildPlayer(scratch_->path() / "p",
                                               {{"One", "x", "ONE.mp3"}, {"Two", "x", "TWO.mp3"}},
                                               {{"Night", {2, 1, 2}}, {"Day", {1}}})};
        auto form = Start();
        QTest::mouseClick(form->PlaylistTabButton, Qt::LeftButton);
        QVERIFY(form->PlaylistList->isVisible() && !form->ArtistList->isVisible());
        QCOMPARE(RowOf(form->PlaylistList, "All ..."), 0);
        ClickRow(form->PlaylistList, RowOf(form->PlaylistList, "Night"));
        QCOMPARE(Column(*form, 1), (std::vector<std::string>{"Two", "One"}));
        QCOMPARE(Text(form->Notifier), std::string("Files in playlist Night"));

        // A player without playlists offers none; one that goes leaves the list as the others.
        removable_.push_back(SmallPlayer("q"));
        NoticeDeviceChange();
        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->PlaylistModel->rowCount(), 0);
        removable_.pop_back();
        NoticeDeviceChange();
        QCOMPARE(form->PlaylistModel->rowCount(), 1);
        QCOMPARE(form->PlaylistModel->EntryText(0), std::string());
    }

    void searchMatchesWholeWordsInOneOfFiveFields() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        auto search = [&](const QString& text) {
            form->Edit1->setText(text);
            QTest::keyClick(form->Edit1, Qt::Key_Return);
            std::vector<std::string> titles;
            for (int row = 0; row < form->SongModel->rowCount(); ++row)
                titles.push_back(Cell(*form, row, 1));
            return titles;
        };
        QCOMPARE(search(QStringLiteral("Love Me")),
                 (std::vector<std::string>{"Love Me Do 0", "Love Me Do 11"}));
        QCOMPARE(search(QStringLiteral("  Love   Me ")).size(), std::size_t(2));
        QCOMPARE(search(QStringLiteral("Love U 2")), std::vector<std::string>{""});
        QCOMPARE(search(QStringLiteral("love")), std::vector<std::string>{""}); // case counts
        QCOMPARE(search(QStringLiteral("ove")).size(), std::size_t(5));
        QCOMPARE(search(QStringLiteral("Rain Purple")).size(), std::size_t(5));
        QCOMPARE(search(QStringLiteral("Folk")), std::vector<std::string>{""}); // a genre
        // Blanks only or nothing: no search, the table stays.
        form->DisPlaySongs(TDisplayMode::dmAll);
        QCOMPARE(search(QStringLiteral("   ")).size(), std::size_t(40));
        QCOMPARE(search(QString()).size(), std::size_t(40));
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));
    }

    void selectionCommandsCountTheSelectedTracks() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        QTableView* table = form->AdvStringGridSong;
        ChooseFromMenu(table, "SelectAllSong");
        QCOMPARE(Text(form->Notifier), std::string("40 files Selected"));
        ChooseFromMenu(table, "InvertSelectSong");
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));
        ClickRow(form->AdvStringGridSong, 0);
        QCOMPARE(Text(form->Notifier), std::string("1 file Selected"));
        ClickRow(form->AdvStringGridSong, 2, Qt::ControlModifier);
        QCOMPARE(Text(form->Notifier), std::string("2 files Selected"));
        ChooseFromMenu(table, "InvertSelectSong");
        QCOMPARE(Text(form->Notifier), std::string("38 files Selected"));
        ChooseFromMenu(table, "ClearSelectSong");
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));
        CloseMenu(RightClick(table, 4));
        QCOMPARE(Text(form->Notifier), std::string("1 file Selected"));
        // Keys: Ctrl+Down adds the row it reaches, Space turns the current row's mark over.
        form->AdvStringGridSong->selectionModel()->setCurrentIndex(form->SongModel->index(4, 1),
                                                                   QItemSelectionModel::NoUpdate);
        QTest::keyClick(form->AdvStringGridSong, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(form->AdvStringGridSong->selectionModel()->selectedRows().size(), 2);
        QTest::keyClick(form->AdvStringGridSong, Qt::Key_Space);
        QCOMPARE(form->AdvStringGridSong->selectionModel()->selectedRows().size(), 1);
        QVERIFY(form->AdvStringGridSong->selectionModel()->isRowSelected(4, {}));
        QTest::keyClick(form->AdvStringGridSong, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Text(form->Notifier), std::string("40 files Selected"));

        // A search without matches leaves a blank row: selected, it counts for nothing.
        form->DisPlaySongs(TDisplayMode::dmSearch, {"no such words"});
        ChooseFromMenu(table, "SelectAllSong");
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));

        // Lists: Select All leaves All ... alone and lists every track with an artist.
        ChooseFromMenu(form->ArtistList, "SelectAllArtist");
        QCOMPARE(form->SongModel->rowCount(), 39);
        QVERIFY(!form->ArtistList->selectionModel()->isRowSelected(0, {}));
        ChooseFromMenu(form->ArtistList, "ClearSelectArtist");
        QVERIFY(form->ArtistList->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(form->SongModel->rowCount(), 39);
    }

    void menusAreEnabledByState() {
        auto form = Start();
        CloseMenu(RightClick(form->AdvStringGridSong, -1));
        for (QAction* action : form->SongsPopupMenu->actions())
            QVERIFY(!action->isEnabled());
        CloseMenu(RightClick(form->ArtistList, 0));
        QVERIFY(!Action(form->ArtistPopupMenu, "SelectAllArtist")->isEnabled());

        form->iPodFound = true;
        QMenu* menu = RightClick(form->AdvStringGridSong, -1);
        QCOMPARE(menu, form->SongsPopupMenu);
        CloseMenu(menu);
        QVERIFY(Action(form->SongsPopupMenu, "CopyoutSong")->isEnabled());
        QVERIFY(!Action(form->SongsPopupMenu, "StopCopyOut")->isEnabled());
        QVERIFY(Action(form->SongsPopupMenu, "ClearSelectSong")->isEnabled());
        QTest::mouseClick(form->AlbumTabButton, Qt::LeftButton);
        CloseMenu(RightClick(form->AlbumList, 0));
        QVERIFY(Action(form->AlbumPopupMenu, "InvertSelectAlbum")->isEnabled());

        form->Copying = true;
        CloseMenu(RightClick(form->AdvStringGridSong, -1));
        for (QAction* action : form->SongsPopupMenu->actions())
            QCOMPARE(action->isEnabled(), action->objectName() == QStringLiteral("StopCopyOut"));
    }

    void sortingMovesRowsWithTheirMarks() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        ClickRow(form->AdvStringGridSong, 0); // "Love Me Do 0"
        QTest::mouseClick(
            form->AdvStringGridSong->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(form->AdvStringGridSong->horizontalHeader()->sectionViewportPosition(1) + 10,
                   5));
        const auto titles = Column(*form, 1);
        QVERIFY(std::is_sorted(titles.begin(), titles.end(),
                               [&](const std::string& a, const std::string& b) {
                                   return platform::CompareText(a, b) < 0;
                               }));
        const QModelIndexList selected = form->AdvStringGridSong->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(Cell(*form, selected.front().row(), 1), std::string("Love Me Do 0"));
        QVERIFY(selected.front().row() != 0);
        // A second click reverses the order.
        const std::string firstAscending = Cell(*form, 0, 1);
        QTest::mouseClick(
            form->AdvStringGridSong->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(form->AdvStringGridSong->horizontalHeader()->sectionViewportPosition(1) + 10,
                   5));
        QCOMPARE(Cell(*form, 39, 1), firstAscending);
    }

    void playOpensTheRowsOwnTrack() {
        const std::string player = CopyPlayer("p");
        removable_ = {player};
        auto form = Start();
        int first = -1, second = -1;
        for (int row = 0; row < form->SongModel->rowCount(); ++row)
            if (Cell(*form, row, 1) == "Mrs. Robinson")
                (first < 0 ? first : second) = row;
        QVERIFY(first >= 0 && second >= 0);

        DoubleClickRow(form->AdvStringGridSong, first);
        QVERIFY(opened_.empty()); // off by default
        form->DBClickPlaySong = true;
        DoubleClickRow(form->AdvStringGridSong, first);
        QCOMPARE(opened_.size(), std::size_t(1));
        QCOMPARE(opened_[0],
                 (fs::path(player) / "iPod_Control/Music/F03/XYMD.m4a").make_preferred().string());
        // The other track of that title has its own file, which has no type: not opened.
        DoubleClickRow(form->AdvStringGridSong, second);
        QCOMPARE(opened_.size(), std::size_t(1));
        QCOMPARE(Text(form->Notifier), std::string("Not a music or video file: MJIH"));
        // Column 0 counts as the row; the header row plays nothing.
        form->AdvStringGridSong->scrollTo(form->SongModel->index(first, 0));
        const QRect symbol = form->AdvStringGridSong->visualRect(form->SongModel->index(first, 0));
        QTest::mouseDClick(form->AdvStringGridSong->viewport(), Qt::LeftButton, {},
                           symbol.center());
        QCOMPARE(opened_.size(), std::size_t(2));
        QCOMPARE(opened_[1], opened_[0]);
        QTest::mouseDClick(form->AdvStringGridSong->horizontalHeader()->viewport(), Qt::LeftButton,
                           {}, HeaderPoint(form->AdvStringGridSong, 1));
        QCOMPARE(opened_.size(), std::size_t(2));
    }

    void layoutWidthsAreAppliedAndStoredAtClose() {
        fs::create_directories(ProgramFolder());
        std::ofstream(ProgramFolder() / "ipdes.dll")
            << "[Visible]\nSearchBox=0\nAlbumList=0\n[COLWIDTH]\n0=200\n3=0\n5=0x40\n";
        // The program folder comes from the settings store's first run.
        auto form = Start();
        QCOMPARE(form->ProgramFolder, ProgramFolder().string());
        QCOMPARE(form->AdvStringGridSong->columnWidth(0), 16);
        QCOMPARE(form->AdvStringGridSong->columnWidth(3), 0);
        QCOMPARE(form->AdvStringGridSong->columnWidth(5), 64);
        QVERIFY(!form->Edit1->isVisibleTo(form.get()));
        form->AdvStringGridSong->setColumnWidth(1, 120);
        form->close();

        std::ifstream in(ProgramFolder() / "ipdes.dll");
        const std::string stored((std::istreambuf_iterator<char>(in)), {});
        QVERIFY(stored.find("SearchBox=0") != std::string::npos);
        QVERIFY(stored.find("0=16") != std::string::npos);
        QVERIFY(stored.find("1=120") != std::string::npos);
        QVERIFY(stored.find("3=0") != std::string::npos);
        QVERIFY(stored.find("5=64") != std::string::npos);
    }

    void settingsLiveInTheStoreTheWindowIsGiven() {
        settings::TMemorySettingsStore store;
        store.registry.DBClickPlaySong = true;
        store.registry.OverWriteExistFile = false;
        store.layout.ColWidthList = {0, 80, 80, 0, 80, 64, 80, 80, 80, 80, 80};
        auto form = Start({}, &store);
        QVERIFY(form->DBClickPlaySong && !form->OverWriteExistFile);
        QCOMPARE(form->AdvStringGridSong->columnWidth(3), 0);
        QCOMPARE(form->AdvStringGridSong->columnWidth(5), 64);
        form->AdvStringGridSong->setColumnWidth(1, 120);
        form->SetDBClickPlaySong(false);
        form->close();
        QCOMPARE(store.layout.ColWidthList.at(1), 120);
        QVERIFY(!store.registry.DBClickPlaySong);
        QVERIFY(!fs::exists(ProgramFolder() / "ipdes.dll"));
    }

    // ---- The player selector and the loaded library --------------------------------------

    void choosingAPlayerWithTheMouseLoadsTheOneChosen() {
        const std::string a = CopyPlayer("A");
        const std::string b = SmallPlayer("B");
        auto form = Start({a, b});
        QCOMPARE(form->SongModel->rowCount(), 40);

        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->CurrentiPod, b);
        QCOMPARE(form->iPod.iPodPath, b);
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 1);
        QCOMPARE(Column(*form, 1),
                 (std::vector<std::string>{"Small One", "Small Two", "Small Three"}));
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "AC/DC"));
        QCOMPARE(form->SongModel->rowCount(), 3); // B's AC/DC, not A's four

        // The drop button opens the same list.
        ChooseWithMouse(form->iPodSelectorCom, 0, Opener::DropButton);
        QCOMPARE(form->iPod.iPodPath, a);
        QCOMPARE(form->SongModel->rowCount(), 40);
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "AC/DC"));
        QCOMPARE(form->SongModel->rowCount(), 4);
    }

    void choosingAPlayerWithTheKeysLoadsTheOneChosen() {
        const std::string a = CopyPlayer("A");
        const std::string b = SmallPlayer("B");
        auto form = Start({a, b});

        ChooseWithKeys(form->iPodSelectorCom, 1);
        QCOMPARE(form->iPod.iPodPath, b);
        QCOMPARE(form->SongModel->rowCount(), 3);
        ChooseWithKeys(form->iPodSelectorCom, -1);
        QCOMPARE(form->iPod.iPodPath, a);
        QCOMPARE(form->SongModel->rowCount(), 40);

        // The arrow keys on the closed box choose too: the entry shown is the player loaded.
        QTest::keyClick(form->iPodSelectorCom, Qt::Key_Down);
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 1);
        QCOMPARE(form->iPod.iPodPath, b);
        QCOMPARE(form->SongModel->rowCount(), 3);
        QTest::keyClick(form->iPodSelectorCom, Qt::Key_Up);
        QCOMPARE(form->iPod.iPodPath, a);

        // Leaving the list without a choice reloads the player shown, once the list is gone.
        ClickRow(form->AdvStringGridSong, 5);
        ChooseWithKeys(form->iPodSelectorCom, 1, Qt::Key_Escape);
        QTRY_VERIFY(Marked(form->AdvStringGridSong).empty());
        QCOMPARE(form->iPod.iPodPath, a);
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 0);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));
    }

    void onlyTheUserClosesTheSelectorsList() {
        const std::string a = CopyPlayer("A");
        auto form = Start({a, SmallPlayer("B")});
        // What a reload would throw away: the list's choice, the marks and the status.
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "AC/DC"));
        ClickRow(form->AdvStringGridSong, 1);
        ClickRow(form->AdvStringGridSong, 3, Qt::ControlModifier);
        const std::set<int> marks{1, 3};
        auto unchanged = [&] {
            QCOMPARE(form->SongModel->rowCount(), 4);
            QCOMPARE(Marked(form->AdvStringGridSong), marks);
            QCOMPARE(Marked(form->ArtistList), std::set<int>{RowOf(form->ArtistList, "AC/DC")});
            QCOMPARE(Text(form->Notifier), std::string("2 files Selected"));
            QCOMPARE(form->iPod.iPodPath, a);
        };

        // Minimised with the title bar's button and restored, with the list closed and open.
        QTest::mouseClick(form->XP_ButtonSmall1, Qt::LeftButton);
        QVERIFY(form->isMinimized());
        form->showNormal();
        QCoreApplication::processEvents();
        unchanged();
        QTest::mouseClick(form->iPodSelectorCom->dropButton(), Qt::LeftButton);
        QVERIFY(form->iPodSelectorCom->view()->isVisible());
        form->showMinimized();
        QVERIFY(!form->iPodSelectorCom->view()->isVisible());
        form->showNormal();
        QCoreApplication::processEvents();
        unchanged();

        // Disabled, hidden and shown again, with the list open and closed.
        form->iPodSelectorCom->setEnabled(false);
        form->iPodSelectorCom->setEnabled(true);
        QTest::mouseClick(form->iPodSelectorCom, Qt::LeftButton);
        form->iPodSelectorCom->setEnabled(false);
        QVERIFY(!form->iPodSelectorCom->view()->isVisible());
        form->iPodSelectorCom->setEnabled(true);
        form->hide();
        form->show();
        QTest::mouseClick(form->iPodSelectorCom, Qt::LeftButton);
        form->hide();
        form->show();
        QCoreApplication::processEvents();
        unchanged();

        // Closed with the list open.
        QTest::mouseClick(form->iPodSelectorCom, Qt::LeftButton);
        form->close();
        QCoreApplication::processEvents();
        unchanged();
    }

    void aPlayerWithoutAReadableDatabaseShowsNoOtherTracks() {
        const std::string a = CopyPlayer("A");
        const fs::path b = scratch_->path() / "B"; // the folder, no database
        fs::create_directories(b / "iPod_Control" / "iTunes");
        const fs::path c = scratch_->path() / "C"; // a database too large to be one
        testsupport::WriteFileOfSize(c, "iPod_Control/iTunes/iTunesDB",
                                     device::kMaxDatabaseBytes + 1);
        const fs::path d = scratch_->path() / "D"; // the third of four tracks damaged
        dbbuild::DatabaseBuilder damaged;
        for (int i = 0; i < 4; ++i)
            damaged.AddTrack(dbbuild::MakeTrack(i, {{1, "Kept " + std::to_string(i)}}));
        dbbuild::Layout layout;
        auto image = damaged.Build(&layout);
        dbbuild::PutU32(image, layout.tracks[2] + 8, 3);
        testsupport::WriteDatabase(d, image);
        auto form = Start({a, b.string(), c.string(), d.string()});
        form->DBClickPlaySong = true;

        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->SongModel->rowCount(), 0);
        QCOMPARE(form->ArtistModel->rowCount(), 1);
        QCOMPARE(form->ArtistModel->EntryText(0), std::string());
        QCOMPARE(form->iPod.GetSongCount(), 0);
        QCOMPARE(form->iPod.iPodPath, b.string());
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 1);
        QCOMPARE(Text(form->Notifier), std::string("No track database on this iPod"));
        const std::string missing =
            "No track database (iPod_Control/iTunes/iTunesDB) in " + b.string();
        QCOMPARE(Tip(form->Notifier), missing);
        QVERIFY(LogText().find("LoadCurrentiPod:" + missing) != std::string::npos);
        QTest::mouseDClick(form->AdvStringGridSong->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
        QVERIFY(opened_.empty());

        ChooseWithMouse(form->iPodSelectorCom, 2);
        QCOMPARE(form->SongModel->rowCount(), 0);
        QCOMPARE(form->iPod.iPodPath, c.string());
        QCOMPARE(Text(form->Notifier), std::string("Cannot read the track database"));
        QVERIFY(Tip(form->Notifier).rfind("Cannot open file " + c.string(), 0) == 0);
        QVERIFY(LogText().find("LoadCurrentiPod:Cannot open file " + c.string()) !=
                std::string::npos);

        // A damaged database keeps what could be read, and says where it stopped.
        ChooseWithMouse(form->iPodSelectorCom, 3);
        QCOMPARE(Column(*form, 1), (std::vector<std::string>{"Kept 0", "Kept 1"}));
        QCOMPARE(Text(form->Notifier), std::string("Damaged database: 2 of 4 tracks read"));
        const std::string tip = Tip(form->Notifier);
        QVERIFY(tip.rfind("Damaged database: 2 of 4 tracks read from " + d.string(), 0) == 0);
        QVERIFY(tip.size() > 60);
        QVERIFY(LogText().find("LoadCurrentiPod:" + tip) != std::string::npos);

        ChooseWithMouse(form->iPodSelectorCom, 0);
        QCOMPARE(form->SongModel->rowCount(), 40);
        QCOMPARE(Tip(form->Notifier), std::string("40 Files found in your iPod."));
#ifdef _WIN32
        if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
            QSKIP("Whether the notice fits, centred, depends on the skin's fonts, which the "
                  "offscreen platform on Windows does not see");
#endif
        QVERIFY(form->Notifier->alignment() & Qt::AlignHCenter);
    }

    void startingOnAPlayerWithoutADatabase() {
        const fs::path b = scratch_->path() / "B";
        fs::create_directories(b / "iPod_Control" / "iTunes");
        auto form = Start({b.string(), CopyPlayer("A")});
        QCOMPARE(form->iPod.iPodPath, b.string());
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 0);
        QCOMPARE(form->SongModel->rowCount(), 0);
        QCOMPARE(Text(form->Notifier), std::string("No track database on this iPod"));
        QVERIFY(LogText().find("FormShow:No track database (iPod_Control/iTunes/iTunesDB) in " +
                               b.string()) != std::string::npos);
        QVERIFY(!fs::exists(ProgramFolder() / "Idb.ant"));
    }

    void anEntrysRootIsItsDataNotItsText() {
        const std::string a = CopyPlayer("A");
        const std::string bracket = SmallPlayer("copy [2019]");
        auto form = Start({a, bracket});
        QCOMPARE(form->iPodSelectorCom->itemText(1).toStdString(), " [copy [2019]]  " + bracket);
        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->CurrentiPod, bracket);
        QCOMPARE(form->iPod.iPodPath, bracket);
        QCOMPARE(form->SongModel->rowCount(), 3);
    }

    void playerFoldersThatHoldNoPlayerAreNamed() {
        const std::string a = CopyPlayer("A");
        const std::string missing = (scratch_->path() / "gone").string();
        const fs::path empty = scratch_->path() / "empty";
        fs::create_directories(empty / "iPod_Control");
        auto form = Start({missing, a, empty.string(), a + "/", a + "/../A"});
        // The same folder written three ways is one player.
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->itemText(0).toStdString(), " [a]  " + a);
        QCOMPARE(form->SongModel->rowCount(), 40);
        const std::string first = "--player " + missing + ": no such folder";
        QCOMPARE(Tip(form->Notifier), first + "\n--player " + empty.string() +
                                          ": it holds no iPod_Control/iTunes folder");
        QVERIFY(Text(form->Notifier).rfind("--player ", 0) == 0);
        // The status line keeps the start of a text too wide for it, in any font.
        form->ShowStatus(std::string(46, 'W'));
        QVERIFY(form->Notifier->fontMetrics().horizontalAdvance(form->Notifier->text()) >
                form->Notifier->width());
        QVERIFY(form->Notifier->alignment() & Qt::AlignLeft);
    }

    void aPlayerThatGoesAwayLeavesTheSelector() {
        const std::string a = CopyPlayer("A");
        const std::string b = SmallPlayer("B");
        removable_ = {a, b};
        auto form = Start();
        ClickRow(form->AdvStringGridSong, 2);

        // Another player goes: its entry goes, the loaded one stays as it was.
        removable_ = {a};
        NoticeDeviceChange();
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->CurrentRoot(), a);
        QCOMPARE(form->SongModel->rowCount(), 40);
        QCOMPARE(Marked(form->AdvStringGridSong), std::set<int>{2});
        QCOMPARE(Text(form->Notifier), std::string("1 iPod detected."));

        // A change that touches no player of ours changes nothing.
        NoticeDeviceChange();
        QCOMPARE(Marked(form->AdvStringGridSong), std::set<int>{2});

        // The loaded one goes: nothing of it is shown or built from its root.
        removable_ = {};
        NoticeDeviceChange();
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->currentText(), QStringLiteral("Please connect your iPod"));
        QCOMPARE(form->SongModel->rowCount(), 0);
        QCOMPARE(form->ArtistModel->rowCount(), 1);
        QVERIFY(form->iPod.iPodPath.empty());
        QVERIFY(form->CurrentiPod.empty());
        QCOMPARE(Text(form->Notifier), std::string("iPod removed."));
    }

    void aNamedFolderThatGoesAwayLeavesTheSelectorAndComesBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("removed") << "removed";
        QTest::newRow("renamed") << "renamed";
        QTest::newRow("its iTunes folder gone") << "iTunes";
    }
    void aNamedFolderThatGoesAwayLeavesTheSelectorAndComesBack() {
        QFETCH(QString, how);
        const std::string a = CopyPlayer("A");
        const fs::path moved = how == "iTunes" ? fs::path(a) / "iPod_Control/iTunes" : fs::path(a);
        const fs::path aside = scratch_->path() / "aside";
        auto form = Start({a});
        QCOMPARE(form->SongModel->rowCount(), 40);

        if (how == "removed")
            fs::remove_all(moved);
        else
            fs::rename(moved, aside);
        QTRY_COMPARE(Text(form->Notifier), std::string("iPod removed."));
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->currentText(), QStringLiteral("Please connect your iPod"));
        QCOMPARE(form->SongModel->rowCount(), 0);
        QCOMPARE(form->ArtistModel->rowCount(), 1);
        QVERIFY(form->iPod.iPodPath.empty());

        // Back again, it is listed and loaded as a drive plugged in again is.
        if (how == "removed")
            CopyPlayer("A");
        else
            fs::rename(aside, moved);
        QTRY_COMPARE(form->iPod.iPodPath, a);
        QCOMPARE(form->iPodSelectorCom->CurrentRoot(), a);
        QCOMPARE(form->SongModel->rowCount(), 40);
    }

    void removingTheLoadedOfTwoPlayersShowsNoEntry() {
        const std::string a = CopyPlayer("A");
        const std::string b = SmallPlayer("B");
        removable_ = {a, b};
        auto form = Start();
        ChooseWithMouse(form->iPodSelectorCom, 1);
        QCOMPARE(form->iPod.iPodPath, b);

        removable_ = {a};
        NoticeDeviceChange();
        QCOMPARE(form->iPodSelectorCom->count(), 1);
        QCOMPARE(form->iPodSelectorCom->currentIndex(), -1);
        QCOMPARE(form->SongModel->rowCount(), 0);
        QVERIFY(form->iPod.iPodPath.empty());
        QCOMPARE(Text(form->Notifier), std::string("iPod removed."));

        // The one left is chosen as usual; one that comes back is listed and loaded.
        ChooseWithMouse(form->iPodSelectorCom, 0);
        QCOMPARE(form->iPod.iPodPath, a);
        QCOMPARE(form->SongModel->rowCount(), 40);
        removable_ = {};
        NoticeDeviceChange();
        removable_ = {b};
        NoticeDeviceChange();
        QCOMPARE(form->iPod.iPodPath, b);
        QCOMPARE(form->iPodSelectorCom->CurrentRoot(), b);
        QCOMPARE(form->SongModel->rowCount(), 3);
    }

    // ---- Selection -------------------------------------------------------------------------

    void aRightClickAddsItsRowToTheMarks() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        QTableView* table = form->AdvStringGridSong;
        ClickRow(table, 1);
        ClickRow(table, 3, Qt::ControlModifier);
        QMenu* menu = RightClick(table, 6);
        QCOMPARE(menu, form->SongsPopupMenu);
        CloseMenu(menu);
        QCOMPARE(Marked(table), (std::set<int>{1, 3, 6}));
        QCOMPARE(Text(form->Notifier), std::string("3 files Selected"));
        // On a marked row, with Ctrl, on the header and below the rows: the marks stay.
        CloseMenu(RightClick(table, 3));
        CloseMenu(RightClick(table, -1));
        QCOMPARE(Marked(table), (std::set<int>{1, 3, 6}));
        form->Edit1->setText(QStringLiteral("Love Me"));
        QTest::keyClick(form->Edit1, Qt::Key_Return);
        ClickRow(table, 0);
        ClickRow(table, 1, Qt::ControlModifier);
        CloseMenu(RightClick(table, table->model()->rowCount()));
        QCOMPARE(Marked(table), (std::set<int>{0, 1}));
        QCOMPARE(Text(form->Notifier), std::string("2 files Selected"));

        // In a list the row joins the others, and the table lists them all.
        QTableView* artists = form->ArtistList;
        ClickRow(artists, RowOf(artists, "AC/DC"));
        CloseMenu(RightClick(artists, RowOf(artists, "Beyonc\u00E9")));
        QCOMPARE(Marked(artists),
                 (std::set<int>{RowOf(artists, "AC/DC"), RowOf(artists, "Beyonc\u00E9")}));
        QCOMPARE(form->SongModel->rowCount(), 8);
        QCOMPARE(Text(form->Notifier), std::string("Files by artist AC/DC,Beyonc\u00E9"));
        // "All ..." is not marked by a right-click.
        CloseMenu(RightClick(artists, 0));
        QCOMPARE(Marked(artists).size(), std::size_t(2));
        QCOMPARE(form->SongModel->rowCount(), 8);
    }

    void theTableShowsWhatTheListMarksAfterEveryRelease() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        QTableView* artists = form->ArtistList;
        const int acdc = RowOf(artists, "AC/DC");
        const int beyonce = RowOf(artists, "Beyonc\u00E9");
        ClickRow(artists, acdc);
        ClickRow(artists, beyonce, Qt::ControlModifier);
        QCOMPARE(form->SongModel->rowCount(), 8);

        // A plain click on a marked entry marks it alone, at the release.
        ClickRow(artists, acdc);
        QCOMPARE(Marked(artists), std::set<int>{acdc});
        QCOMPARE(form->SongModel->rowCount(), 4);
        QCOMPARE(Text(form->Notifier), std::string("Files by artist AC/DC"));

        // Dragging from one entry to another marks the range, shown at the release.
        QTest::mousePress(artists->viewport(), Qt::LeftButton, {}, RowPoint(artists, 1));
        QTest::mouseMove(artists->viewport(), RowPoint(artists, 3));
        QTest::mouseRelease(artists->viewport(), Qt::LeftButton, {}, RowPoint(artists, 3));
        QCOMPARE(Marked(artists), (std::set<int>{1, 2, 3}));
        std::vector<std::string> names;
        for (int row = 1; row <= 3; ++row)
            names.push_back(form->ArtistModel->EntryText(row));
        QCOMPARE(form->SongModel->rowCount(),
                 static_cast<int>(
                     browser::ListTracks(form->iPod, TDisplayMode::dmArtists, names).size()));
    }

    void theCountFollowsEveryChangeOfTheMarks() {
        removable_ = {CopyPlayer("p")};
        auto form = Start();
        QTableView* table = form->AdvStringGridSong;
        ClickRow(table, 0);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Marked(table), (std::set<int>{0, 1, 2, 3}));
        QCOMPARE(Text(form->Notifier), std::string("4 files Selected"));
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Text(form->Notifier), std::string("40 files Selected"));
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(Marked(table), std::set<int>{4});
        QCOMPARE(Text(form->Notifier), std::string("1 file Selected"));
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));
        QTest::keyClick(table, Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(Marked(table), (std::set<int>{2, 3, 4}));
        QCOMPARE(Text(form->Notifier), std::string("3 files Selected"));
        // A listing writes its own status and leaves nothing marked.
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "R.E.M."));
        QVERIFY(Marked(table).empty());
        QCOMPARE(Text(form->Notifier), std::string("Files by artist R.E.M."));
    }

    void theFileSizeColumnSortsBySize() {
        const std::int64_t mb = 1024 * 1024;
        const std::string player =
            BuildPlayer("sizes", {{"nine", "x", "NINE.mp3", 19 * mb / 2},
                                  {"two", "x", "TWO.mp3", 5 * mb / 2},
                                  {"missing", "x", "GONE.mp3", -1},
                                  {"twelve", "x", "TWLV.mp3", 12 * mb},
                                  {"hundred five", "x", "HUND.mp3", 105 * mb}});
        auto form = Start({player});
        QCOMPARE(Column(*form, 2),
                 (std::vector<std::string>{"9.5MB", "2.5MB", "", "12MB", "105MB"}));
        QHeaderView* header = form->AdvStringGridSong->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          HeaderPoint(form->AdvStringGridSong, 2));
        QCOMPARE(Column(*form, 2),
                 (std::vector<std::string>{"", "2.5MB", "9.5MB", "12MB", "105MB"}));
        QCOMPARE(Column(*form, 1),
                 (std::vector<std::string>{"missing", "two", "nine", "twelve", "hundred five"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          HeaderPoint(form->AdvStringGridSong, 2));
        QCOMPARE(Column(*form, 2),
                 (std::vector<std::string>{"105MB", "12MB", "9.5MB", "2.5MB", ""}));
    }

    void playOpensOnlyMusicAndVideoFiles() {
        const std::vector<TrackSpec> tracks{{"loud", "x", "LOUD.MP3"}, {"program", "x", "EVIL.exe"},
                                            {"batch", "x", "RUN.bat"}, {"link", "x", "LINK.lnk"},
                                            {"script", "x", "S.js"},   {"app", "x", "APP.hta"},
                                            {"book", "x", "BOOK.m4b"}, {"film", "x", "FILM.M4V"}};
        const std::string player = BuildPlayer("types", tracks);
        auto form = Start({player});
        form->DBClickPlaySong = true;
        for (int row = 0; row < form->SongModel->rowCount(); ++row)
            DoubleClickRow(form->AdvStringGridSong, row);
        const std::string music =
            (fs::path(player) / "iPod_Control/Music/F00/").make_preferred().string();
        QCOMPARE(opened_, (std::vector<std::string>{music + "LOUD.MP3", music + "BOOK.m4b",
                                                    music + "FILM.M4V"}));
        DoubleClickRow(form->AdvStringGridSong, 1);
        QCOMPARE(Text(form->Notifier), std::string("Not a music or video file: EVIL.exe"));
        QCOMPARE(opened_.size(), std::size_t(3));
    }

    void playOpensNothingButAFileOnThePlayer() {
        const std::string player =
            BuildPlayer("off", {{"gone", "x", "GONE.mp3", -1}, {"away", "x", "AWAY.mp3", -1}});
        std::error_code failed;
        fs::create_symlink(scratch_->path() / "elsewhere.mp3",
                           fs::path(player) / "iPod_Control/Music/F00/AWAY.mp3", failed);
        testsupport::WriteFileOfSize(scratch_->path(), "elsewhere.mp3", 10);
        auto form = Start({player});
        form->DBClickPlaySong = true;
        DoubleClickRow(form->AdvStringGridSong, 0);
        QCOMPARE(Text(form->Notifier), std::string("File not found on the iPod: gone"));
        DoubleClickRow(form->AdvStringGridSong, 1);
        QVERIFY(opened_.empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
