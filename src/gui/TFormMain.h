#pragma once

#include "core/library/DisplayMode.h"
#include "core/copy/CopyMessages.h"
#include "gui/CopyHost.h"
#include "gui/CopySide.h"
#include "core/device/DeviceScan.h"
#include "core/device/TiPod.h"
#include "core/library/PlayerModel.h"
#include "platform/DeviceWatcher.h"
#include "platform/Status.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CategoryListModel;
class PlayerSelector;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QTimer;
class SkinButton;
class SkinProgressBar;
class TabButton;
class TCopyThread;
class TFormOption;
class TitleBarButton;
class TrackTableModel;

namespace settings {
class TSettingsStore;
}

namespace app {
class FrameImage;
class WindowDragger;
} // namespace app

// What the main window takes from its surroundings; tests replace these.
struct TMainEnvironment {
    // Removable volumes (or drives) that may hold players.
    std::function<std::vector<std::string>()> removableRoots;
    // Folders to list as players as if detected (--player).
    std::vector<std::string> extraPlayers;
    // No system notice tells when such a folder goes or comes back: they are looked at this
    // often (0: never).
    int namedFolderCheckMilliseconds = 1000;
    // Opens a file with the program the system associates with it; a failure when none could.
    std::function<platform::Status(const std::string& path)> openFile;
    // Starts watching the system for players that come and go; changed is called for each
    // notice, and the watch lasts as long as the object returned. Empty: no watching.
    std::function<std::unique_ptr<platform::DeviceWatcher>(std::function<void()> changed)>
        watchDevices;
    // The folder dialog, the questions, the folder opener and the files of a copy job.
    TCopyEnvironment copy;
    // Where the settings live; nothing: the registry and the layout file.
    settings::TSettingsStore* settings = nullptr;
    // Whether the system asked the program to end (a logout, a kill); looked at a few times a
    // second. Empty: never asked.
    std::function<bool()> terminationRequested;

    static TMainEnvironment System();
};

// The main window: the player selector, the track table, the category lists, the search box
// and the status line. Its side of a copy job lives in TCopySide (gui/CopySide.h); it receives
// the worker's messages on its own thread.
class TFormMain : public QWidget, public TCopyHost {
    Q_OBJECT
public:
    explicit TFormMain(TMainEnvironment environment, QWidget* parent = nullptr);
    ~TFormMain() override;

    // The players found, the chosen one and its tracks.
    browser::TPlayerModel Players;

    // Main window state. CurrentiPod and iPod are views of the player model's chosen root and
    // library.
    std::string ProgramFolder;
    const std::string& CurrentiPod = Players.Chosen();
    bool iPodFound = false;
    bool Copying = false;
    bool DatabaseCopied = false;
    bool DBClickPlaySong = false;
    bool OverWriteExistFile = false;
    // The copy's choices of the options window: the layout below the target folder, skipping
    // copies already there, writing the playlists.
    std::string CopyLayout = "{title}";
    bool SkipExisting = false;
    bool WritePlaylists = false;
    std::vector<int> ColWidthList;
    TiPod& iPod = Players.Library();

    // Operations.
    void ReadRegistry();
    void WriteRegistry();
    void ReadIniFile();
    void WriteIniFile();
    void DisPlaySongsInit();
    void DisPlaySongs(TDisplayMode mode, const std::vector<std::string>& names = {});
    // The line shows the text cut to its length; the tooltip shows the detail (or the text)
    // whole.
    void ShowStatus(const std::string& text, const std::string& detail = {});
    void DisPlayOtherInit();
    void DisPlayOther();
    void DisPlayCurrentArtistSongs();
    void DisPlayCurrentAlbumSongs();
    void DisPlayCurrentFileTypeSongs();
    void DisPlayCurrentPlaylistSongs();
    bool GetiPodDriver();
    // Loads the player at CurrentiPod (see TPlayerModel::Load).
    browser::TPlayerLoad LoadCurrentiPod();
    // Keeps a copy of the database file the load read (compressed or not) in the program's
    // folder, once per run.
    void CopyiPodDatabase(const std::string& database);
    void ShowSelectionCount();

    // Handlers.
    // A notice of the device watcher: players may have come or gone.
    void DeviceChange();
    void iPodSelectorComCloseUp();
    void Edit1KeyDown();
    void AdvStringGridSongDblClickCell(int row);
    void ActivateTab(int tab);
    // "Option": hands the two settings to the options window and shows it modally.
    void XP_Button3Click();

    // The setters of the options window's "Save".
    void SetDBClickPlaySong(bool on);
    void SetOverWriteExistFile(bool on);
    TFormOption* FormOption = nullptr;

    // The copy job. The Copy/Stop button acts by its caption.
    void ButtonCopyClick();
    void CopyoutSongClick();
    void StopCopyOutClick();
    // The title-bar close button: during a copy the user is asked first.
    void XP_ButtonSmall3Click();
    void CMProgressPosition(int position) override;
    void CMProgressMax(int maximum) override;
    void CMProgressText(const std::string& text) override;
    void CMProgressFinish(int result) override;

    // What the copy side needs of the window.
    QWidget* HostWindow() override { return this; }
    const TiPod& Library() const override { return iPod; }
    bool OverwriteSetting() const override { return OverWriteExistFile; }
    TCopyChoices CopyChoices() const override { return {CopyLayout, SkipExisting, WritePlaylists}; }
    bool IsCopying() const override { return Copying; }
    void SetCopying(bool copying) override;
    void SetProgress(int position) override;
    void SetProgressMax(int maximum) override;
    void ShowCopyStatus(const std::string& text) override { ShowStatus(text); }
    std::size_t PlayerCount() const override;
    // The worker of the current or last job, and the sources and titles of the running job
    // (empty between jobs).
    TCopyThread* CopyThread() const;
    std::vector<std::string> SourceFiles() const;
    std::vector<std::string> TitleList() const;
    TCopySide& CopySide() const { return *copySide_; }
    // The selected rows' own tracks, in table order; blank rows left out.
    std::vector<std::int32_t> SelectedTracks() const override;

    // Controls, named as in the window's design.
    QTableView* AdvStringGridSong = nullptr;
    TrackTableModel* SongModel = nullptr;
    QTableView* ArtistList = nullptr;
    QTableView* AlbumList = nullptr;
    QTableView* FileTypeList = nullptr;
    QTableView* PlaylistList = nullptr;
    CategoryListModel* ArtistModel = nullptr;
    CategoryListModel* AlbumModel = nullptr;
    CategoryListModel* FileTypeModel = nullptr;
    CategoryListModel* PlaylistModel = nullptr;
    TabButton* ArtistTabButton = nullptr;
    TabButton* AlbumTabButton = nullptr;
    TabButton* FileTypeTabButton = nullptr;
    TabButton* PlaylistTabButton = nullptr;
    QLabel* Notifier = nullptr;
    SkinProgressBar* ProgressBarItunes = nullptr;
    PlayerSelector* iPodSelectorCom = nullptr;
    QLineEdit* Edit1 = nullptr;
    app::FrameImage* SearchCaption = nullptr;   // the caption picture of the search box
    app::FrameImage* SelectorCaption = nullptr; // and of the device selector
    SkinButton* ButtonCopy = nullptr;
    SkinButton* XP_Button3 = nullptr;          // "Option"
    SkinButton* XP_Button5 = nullptr;          // "WebSite"
    TitleBarButton* XP_ButtonSmall1 = nullptr; // minimise
    TitleBarButton* XP_ButtonSmall3 = nullptr; // close
    TitleBarButton* XP_ButtonSmall2 = nullptr; // web site
    QMenu* SongsPopupMenu = nullptr;
    QMenu* ArtistPopupMenu = nullptr;
    QMenu* AlbumPopupMenu = nullptr;
    QMenu* FileTypePopupMenu = nullptr;
    QMenu* PlaylistPopupMenu = nullptr;
    // Moves the window by the free areas of its frame.
    app::WindowDragger* Dragger = nullptr;

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

signals:
    // A running copy job takes the new value from its next file on.
    void OverWriteExistFileChanged(bool overwrite);

protected:
    // The first showing places the window before its native window exists.
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // After a move the grids paint afresh at their new place.
    void moveEvent(QMoveEvent* event) override;

private:
    settings::TSettingsStore& Settings() const;
    void BuildControls();
    void BuildFrame();
    void SetTabOrder();
    void FormShow();
    void FormClose();
    // The four lists, in the order of their tabs.
    std::array<QTableView*, 4> CategoryLists() const;
    QTableView* MakeCategoryList(CategoryListModel*& model, QMenu*& menu, const QString& name);
    void ShowListSongs(QTableView* list, TDisplayMode mode, const char* logPrefix);
    void ListClicked(QTableView* list);
    // Ctrl with a navigation key: move there and add that row to the marks.
    void MoveAddingRow(int key);
    std::vector<device::FoundPlayer> ScanForPlayers();
    // A folder named on the command line that went or came back takes the road of a drive's
    // notice.
    void CheckNamedFolders();
    // Asked to end, the program closes as a close answered Yes would, without asking.
    void CheckTermination();
    bool ListPlayers(std::vector<device::FoundPlayer> players);
    // Shows what the last load gave: the tracks, the lists, the selector's entry and, when not
    // every track was read, why (status, tooltip, and the log under logPrefix).
    void ShowLoadedPlayer(const browser::TPlayerLoad& load, const char* logPrefix);
    void ShowPlayerList();
    void ShowUnloaded();
    void ReloadAfterChoice();
    // The loaded player has gone: nothing is shown or built from its root any more.
    void UnloadPlayer();
    std::vector<int> SelectedRows(QTableView* view) const;
    void SetRowsSelected(QTableView* view, const std::vector<int>& rows, bool selected);

    TMainEnvironment environment_;
    std::unique_ptr<platform::DeviceWatcher> watcher_;
    QTimer* namedFolderCheck_ = nullptr;
    QTimer* terminationCheck_ = nullptr;
    std::unique_ptr<TCopySide> copySide_;
    bool shown_ = false;
    bool placed_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
