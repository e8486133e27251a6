#pragma once

#include "browser/DisplayMode.h"
#include "device/TiPod.h"
#include "platform/Status.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CategoryListModel;
class DeviceWatcher;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class TrackTableModel;

// What the main window takes from its surroundings; tests replace these.
struct TMainEnvironment {
    // Removable volumes (or drives) that may hold players.
    std::function<std::vector<std::string>()> removableRoots;
    // Folders to list as players as if detected (--player).
    std::vector<std::string> extraPlayers;
    // Opens a file with the program the system associates with it.
    std::function<void(const std::string& path)> openFile;
    // Watch the system for arriving devices.
    bool watchDevices = true;

    static TMainEnvironment System();
};

// The main window: the player selector, the track table, the category lists, the search box
// and the status line.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(TMainEnvironment environment, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Main window state.
    std::string ProgramFolder;
    std::string CurrentiPod;
    bool iPodFound = false;
    bool Copying = false;
    bool DatabaseCopied = false;
    bool DBClickPlaySong = false;
    bool OverWriteExistFile = false;
    std::vector<std::string> ColWidthList;
    TiPod iPod;

    // Operations.
    void ReadRegistry();
    void WriteRegistry();
    void ReadIniFile();
    void WriteIniFile();
    void DisPlaySongsInit();
    void DisPlaySongs(TDisplayMode mode, const std::vector<std::string>& names = {});
    void ShowStatus(const std::string& text);
    void DisPlayOtherInit();
    void DisPlayOther();
    void DisPlayCurrentArtistSongs();
    void DisPlayCurrentAlbumSongs();
    void DisPlayCurrentFileTypeSongs();
    bool GetiPodDriver();
    platform::Status LoadCurrentiPod();
    void CopyiPodDatabase();
    void ShowSelectionCount();

    // Handlers.
    void DeviceArrival();
    void iPodSelectorComCloseUp();
    void Edit1KeyDown();
    void AdvStringGridSongDblClickCell(int row);
    void ActivateTab(int tab);

    // Controls, named as in the window's design.
    QTableView* AdvStringGridSong = nullptr;
    TrackTableModel* SongModel = nullptr;
    QTableView* ArtistList = nullptr;
    QTableView* AlbumList = nullptr;
    QTableView* FileTypeList = nullptr;
    CategoryListModel* ArtistModel = nullptr;
    CategoryListModel* AlbumModel = nullptr;
    CategoryListModel* FileTypeModel = nullptr;
    QPushButton* ArtistTabButton = nullptr;
    QPushButton* AlbumTabButton = nullptr;
    QPushButton* FileTypeTabButton = nullptr;
    QLabel* Notifier = nullptr;
    QProgressBar* ProgressBarItunes = nullptr;
    QComboBox* iPodSelectorCom = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* SearchCaption = nullptr;
    QLabel* SelectorCaption = nullptr;
    QPushButton* ButtonCopy = nullptr;
    QPushButton* XP_Button3 = nullptr; // "Option"
    QPushButton* XP_Button5 = nullptr; // "WebSite"
    QMenu* SongsPopupMenu = nullptr;
    QMenu* ArtistPopupMenu = nullptr;
    QMenu* AlbumPopupMenu = nullptr;
    QMenu* FileTypePopupMenu = nullptr;

    // The menu entries enabled for the current state (what a right-click would show).
    void UpdateMenuEnabling();
    // Select All, Invert Select and Clear Select of the track table and the lists.
    void SelectAllSongs();
    void InvertSelectSongs();
    void ClearSelectSongs();
    void SelectAllIn(QTableView* list);
    void InvertSelectIn(QTableView* list);
    void ClearSelectIn(QTableView* list);
    // Right-click on a row (-1: the header) of the track table or a list.
    void SongRightClick(int row);
    void ListRightClick(QTableView* list, int row);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildControls();
    void FormShow();
    void FormClose();
    QTableView* MakeCategoryList(CategoryListModel*& model, QMenu*& menu, const QString& name);
    void ShowListSongs(QTableView* list, TDisplayMode mode, const char* logPrefix);
    void ListClicked(QTableView* list);
    // Ctrl with a navigation key: move there and add that row to the marks.
    void MoveAddingRow(int key);
    void ReloadAfterChoice();
    void ReportDamage(const TLoadReport& report);
    std::vector<int> SelectedRows(QTableView* view) const;
    void SetRowsSelected(QTableView* view, const std::vector<int>& rows, bool selected);

    TMainEnvironment environment_;
    DeviceWatcher* watcher_ = nullptr;
    bool shown_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    TLoadReport lastLoad_;
};
