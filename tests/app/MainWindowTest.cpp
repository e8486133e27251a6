// The real main window on copies of the fixture players, on the offscreen platform.

#include "app/TFormMain.h"
#include "browser/CategoryListModel.h"
#include "browser/TrackTableModel.h"
#include "platform/Text.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

const fs::path kFixtures = KESTRUNE_FIXTURES_DIR;

std::string Text(const QLabel* label) {
    return label->text().toStdString();
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

QAction* Action(QMenu* menu, const char* name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String(name))
            return action;
    return nullptr;
}

void ClickRow(QTableView* view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const int column = view->model()->columnCount() > 1 ? 1 : 0;
    const QRect cell = view->visualRect(view->model()->index(row, column));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cell.center());
}

int RowOf(const QTableView* list, const std::string& text) {
    const auto* model = static_cast<const CategoryListModel*>(list->model());
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->EntryText(row) == text)
            return row;
    return -1;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // A private settings store and program folder, and copies of the players, per test.
    std::unique_ptr<testsupport::TempDir> scratch_;
    std::unique_ptr<testsupport::ScopedEnv> config_, data_;
    std::vector<std::string> removable_;
    std::vector<std::string> opened_;

    std::string CopyPlayer(const std::string& name) {
        const fs::path target = scratch_->path() / name;
        testsupport::CopyTree(kFixtures / "players/generated-40", target);
        return target.string();
    }

    std::unique_ptr<TFormMain> Start(std::vector<std::string> extraPlayers = {}) {
        TMainEnvironment environment;
        environment.removableRoots = [this] { return removable_; };
        environment.extraPlayers = std::move(extraPlayers);
        environment.openFile = [this](const std::string& path) { opened_.push_back(path); };
        environment.watchDevices = false;
        auto form = std::make_unique<TFormMain>(std::move(environment));
        form->show();
        return form;
    }

    fs::path ProgramFolder() const { return scratch_->path() / "data" / "kestrune"; }

private slots:
    void init() {
        scratch_ = std::make_unique<testsupport::TempDir>();
        config_ = std::make_unique<testsupport::ScopedEnv>("XDG_CONFIG_HOME",
                                                           (scratch_->path() / "config").string());
        data_ = std::make_unique<testsupport::ScopedEnv>("XDG_DATA_HOME",
                                                         (scratch_->path() / "data").string());
        removable_.clear();
        opened_.clear();
    }
    void cleanup() {
        data_.reset();
        config_.reset();
        scratch_.reset();
    }

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
        form->iPodSelectorComCloseUp();
        QVERIFY(form->CurrentiPod.empty());
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
        form->iPodSelectorCom->setCurrentIndex(1);
        form->iPodSelectorComCloseUp();
        QCOMPARE(form->CurrentiPod, first);
        QCOMPARE(Cell(*form, 0, 2), std::string(""));
    }

    void arrivalOfASecondPlayerKeepsTheCurrentOne() {
        const std::string first = CopyPlayer("first");
        removable_ = {first};
        auto form = Start();
        const std::string second = CopyPlayer("another");
        removable_ = {second, first};
        form->DeviceArrival();
        QCOMPARE(form->iPodSelectorCom->count(), 2);
        QCOMPARE(form->iPodSelectorCom->currentIndex(), 0);
        QCOMPARE(form->CurrentiPod, first);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));
    }

    void arrivalAfterStartingWithoutAPlayerLoadsIt() {
        auto form = Start();
        removable_ = {CopyPlayer("late")};
        form->DeviceArrival();
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
        form->ActivateTab(1);
        ClickRow(form->AlbumList, RowOf(form->AlbumList, "Bookends"));
        QCOMPARE(form->SongModel->rowCount(), 3);
        QCOMPARE(Text(form->Notifier), std::string("Files in album Bookends"));

        ClickRow(form->AlbumList, RowOf(form->AlbumList, "Lemonade"), Qt::ControlModifier);
        QCOMPARE(form->SongModel->rowCount(), 5); // a union, never an intersection

        // A click in another list clears this one and lists only its own choice.
        form->ActivateTab(0);
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "R.E.M."));
        QVERIFY(form->AlbumList->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(Text(form->Notifier), std::string("Files by artist R.E.M."));
        QCOMPARE(form->SongModel->rowCount(), 2);

        // All ... with other entries lists everything.
        ClickRow(form->ArtistList, 0, Qt::ControlModifier);
        QCOMPARE(form->SongModel->rowCount(), 40);
        QCOMPARE(Text(form->Notifier), std::string("40 Files found in your iPod."));

        // The empty file type lists the tracks without one.
        form->ActivateTab(2);
        ClickRow(form->FileTypeList, 1);
        QCOMPARE(form->SongModel->rowCount(), 7);

        // During a copy a click marks the entry but the table stays.
        form->Copying = true;
        form->ActivateTab(0);
        ClickRow(form->ArtistList, RowOf(form->ArtistList, "Björk"));
        QCOMPARE(form->SongModel->rowCount(), 7);
        QCOMPARE(form->ArtistList->selectionModel()->selectedRows().size(), 1);
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
        form->SelectAllSongs();
        QCOMPARE(Text(form->Notifier), std::string("40 files Selected"));
        form->InvertSelectSongs();
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));
        ClickRow(form->AdvStringGridSong, 0);
        QCOMPARE(Text(form->Notifier), std::string("1 file Selected"));
        ClickRow(form->AdvStringGridSong, 2, Qt::ControlModifier);
        QCOMPARE(Text(form->Notifier), std::string("2 files Selected"));
        form->InvertSelectSongs();
        QCOMPARE(Text(form->Notifier), std::string("38 files Selected"));
        form->ClearSelectSongs();
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));
        form->SongRightClick(4);
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
        form->SelectAllSongs();
        QCOMPARE(Text(form->Notifier), std::string("0 file Selected"));

        // Lists: Select All leaves All ... alone and lists every track with an artist.
        form->SelectAllIn(form->ArtistList);
        QCOMPARE(form->SongModel->rowCount(), 39);
        QVERIFY(!form->ArtistList->selectionModel()->isRowSelected(0, {}));
        form->ClearSelectIn(form->ArtistList);
        QVERIFY(form->ArtistList->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(form->SongModel->rowCount(), 39);
    }

    void menusAreEnabledByState() {
        auto form = Start();
        form->UpdateMenuEnabling();
        for (QAction* action : form->SongsPopupMenu->actions())
            QVERIFY(!action->isEnabled());
        QVERIFY(!Action(form->ArtistPopupMenu, "SelectAllArtist")->isEnabled());

        form->iPodFound = true;
        form->UpdateMenuEnabling();
        QVERIFY(Action(form->SongsPopupMenu, "CopyoutSong")->isEnabled());
        QVERIFY(!Action(form->SongsPopupMenu, "StopCopyOut")->isEnabled());
        QVERIFY(Action(form->SongsPopupMenu, "ClearSelectSong")->isEnabled());
        QVERIFY(Action(form->AlbumPopupMenu, "InvertSelectAlbum")->isEnabled());

        form->Copying = true;
        form->UpdateMenuEnabling();
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

        form->AdvStringGridSongDblClickCell(first);
        QVERIFY(opened_.empty()); // off by default
        form->DBClickPlaySong = true;
        form->AdvStringGridSongDblClickCell(first);
        form->AdvStringGridSongDblClickCell(second);
        form->AdvStringGridSongDblClickCell(-1); // the header row
        QCOMPARE(opened_.size(), std::size_t(2));
        QCOMPARE(opened_[0], (fs::path(player) / "iPod_Control/Music/F03/XYMD.m4a").string());
        QCOMPARE(opened_[1], (fs::path(player) / "iPod_Control/Music/F33/MJIH").string());
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
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
