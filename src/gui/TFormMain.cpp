#include "gui/TFormMain.h"

#include "core/settings/SettingsStore.h"
#include "gui/GridView.h"
#include "core/base/Guard.h"
#include "core/base/LogClass.h"
#include "gui/PlayerSelector.h"
#include "gui/WindowChrome.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/SkinFonts.h"
#include "gui/skin/SkinProgressBar.h"
#include "gui/skin/TabButton.h"
#include "gui/skin/TitleBarButton.h"
#include "gui/CategoryListModel.h"
#include "core/library/Listing.h"
#include "core/library/LoadNotice.h"
#include "core/library/Play.h"
#include "core/library/Search.h"
#include "gui/TrackTableModel.h"
#include "core/copy/CopyThread.h"
#include "core/device/DevicePath.h"
#include "core/device/DeviceScan.h"
#include "platform/Console.h"
#include "platform/Drives.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "core/settings/LayoutFile.h"
#include "core/settings/ProgramFiles.h"
#include "core/copy/NameLayout.h"
#include "core/settings/RegistrySettings.h"
#include "gui/TFormOption.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <array>

namespace {

constexpr char kApplicationTitle[] = "Kestrune A";
constexpr int kRowHeight = 16;
// A request to end is seen within this time.
constexpr int kTerminationCheckMilliseconds = 250;

using app::TableFont;

// A light panel of the main window, its corners rounded by pictures (which start no drag).
QWidget* Panel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(219, 219, 229));
    panel->setPalette(palette);
    const int w = geometry.width();
    const int h = geometry.height();
    const struct {
        const char* picture;
        QRect at;
    } corners[] = {{"panel_corner_top_left", {0, 0, 3, 3}},
                   {"panel_corner_top_right", {w - 3, 0, 3, 3}},
                   {"panel_corner_bottom_left", {0, h - 4, 5, 4}},
                   {"panel_corner_bottom_right", {w - 5, h - 4, 5, 4}}};
    for (const auto& corner : corners)
        new app::FrameImage(QString::fromLatin1(corner.picture), corner.at, panel);
    return panel;
}

// The status line: its picture, then the text, in one paint.
class StatusLine final : public QLabel {
public:
    explicit StatusLine(QWidget* parent)
        : QLabel(parent), background_(skin::Picture::Load(QStringLiteral("status_line"))) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            painter.drawImage(rect(), background_.At(skin::PaintScale(this)));
        }
        QLabel::paintEvent(event);
    }

private:
    skin::Picture background_;
};

void SetupGrid(QTableView* view) {
    view->setFont(TableFont(false));
    view->setShowGrid(false);
    view->setFrameShape(QFrame::Box);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    // Tab leaves the grid for the next control; the arrows move in it.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The minimum first: the default is held to it, and the one measured from the font is
    // taller than a row on Windows.
    view->verticalHeader()->setMinimumSectionSize(kRowHeight);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->setStyleSheet(QStringLiteral(
        "QTableView { selection-background-color: rgb(197, 212, 242); selection-color: black; "
        "color: palette(shadow); }"
        "QHeaderView::section { background-color: rgb(166, 202, 240); color: black; }"));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
}

void ShowListFor(TFormMain& form, QTableView* list);

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

TMainEnvironment TMainEnvironment::System() {
    TMainEnvironment environment;
    environment.removableRoots = [] { return platform::RemovableRoots(); };
    environment.openFile = [](const std::string& path) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
            return platform::Status::Ok();
        return platform::Status::Error("No program is set to open " + path);
    };
    environment.watchDevices = [](std::function<void()> changed) {
        return std::make_unique<platform::DeviceWatcher>(std::move(changed));
    };
    environment.copy = TCopyEnvironment::System();
    environment.terminationRequested = [] { return platform::TerminationRequested(); };
    return environment;
}

TFormMain::TFormMain(TMainEnvironment environment, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)) {
    BuildControls();
    app::SetRoundedOutline(this);
    app::FollowShownPosition(this);
    copySide_ = std::make_unique<TCopySide>(*this, environment_.copy);
    app::Guard("FormCreate:", [&] {
        ProgramFolder.clear();
        Players.Choose({});
        iPodSelectorCom->clear();
        ColWidthList.clear();
        DBClickPlaySong = false;
        OverWriteExistFile = false;
        iPodFound = false;
        Copying = false;
        DatabaseCopied = false;
        ReadRegistry();
        ReadIniFile();
    });
    if (environment_.watchDevices)
        watcher_ = environment_.watchDevices([this] { DeviceChange(); });
    if (environment_.terminationRequested) {
        terminationCheck_ = new QTimer(this);
        connect(terminationCheck_, &QTimer::timeout, this, &TFormMain::CheckTermination);
        terminationCheck_->start(kTerminationCheckMilliseconds);
    }
}

TFormMain::~TFormMain() {
    // The controls go first, while the library they show and this window's handlers still
    // exist; the base class would otherwise destroy them after both. A job still running is
    // abandoned and its worker waited for first; its messages come here meanwhile.
    copySide_->AbandonJob();
    copySide_.reset();
    watcher_.reset();
    app::Guard("FormCreate:", [&] {
        const auto controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        PlaylistList = nullptr; // the event filter ignores what follows
        qDeleteAll(controls);
    });
}

QTableView* TFormMain::MakeCategoryList(CategoryListModel*& model, QMenu*& menu,
                                        const QString& name) {
    auto* list = new GridView(this);
    list->setObjectName(name);
    model = new CategoryListModel(list);
    list->setModel(model);
    SetupGrid(list);
    list->setFont(TableFont(false));
    list->setStyleSheet(QStringLiteral(
        "QTableView { selection-background-color: rgb(197, 212, 242); selection-color: black; "
        "color: black; }"));
    list->horizontalHeader()->hide();
    list->horizontalHeader()->setDefaultSectionSize(200);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setGeometry(511, 208, 180, 185);
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);

    menu = new QMenu(list);
    const QString base = name.left(name.size() - 4); // "ArtistList" -> "Artist"
    auto add = [&](const QString& entry, const QString& caption,
                   void (TFormMain::*command)(QTableView*)) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(entry + base);
        connect(action, &QAction::triggered, this,
                [this, list, command] { (this->*command)(list); });
    };
    add(QStringLiteral("SelectAll"), QStringLiteral("Select All"), &TFormMain::SelectAllIn);
    add(QStringLiteral("InvertSelect"), QStringLiteral("Invert Select"),
        &TFormMain::InvertSelectIn);
    add(QStringLiteral("ClearSelect"), QStringLiteral("Clear Select"), &TFormMain::ClearSelectIn);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& at) { ListRightClick(list, list->indexAt(at).row()); });
    connect(list, &GridView::MouseUp, this, [this, list] { ShowListFor(*this, list); });
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, list] {
        if (list->hasFocus())
            ListClicked(list);
    });
    return list;
}

void TFormMain::BuildControls() {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(706, 476);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(41, 43, 55));
    setPalette(palette);

    BuildFrame();

    // The track table panel.
    QWidget* songPanel = Panel(this, "SongPanel", QRect(8, 56, 489, 399));
    auto* songGrid = new GridView(songPanel);
    AdvStringGridSong = songGrid;
    AdvStringGridSong->setObjectName(QStringLiteral("AdvStringGridSong"));
    AdvStringGridSong->setGeometry(8, 8, 473, 385);
    SongModel = new TrackTableModel(iPod, AdvStringGridSong);
    AdvStringGridSong->setModel(SongModel);
    // Before the grid's style sheet: set after it, the font never reaches the viewport the
    // header paints on, which keeps the application's font.
    AdvStringGridSong->horizontalHeader()->setFont(TableFont(true));
    SetupGrid(AdvStringGridSong);
    AdvStringGridSong->setItemDelegateForColumn(0, new PlaySymbolDelegate(AdvStringGridSong));
    AdvStringGridSong->setAccessibleName(QStringLiteral("Tracks"));
    AdvStringGridSong->horizontalHeader()->setFixedHeight(kRowHeight + 2);
    AdvStringGridSong->horizontalHeader()->setHighlightSections(false);
    AdvStringGridSong->horizontalHeader()->setSectionsClickable(true);
    AdvStringGridSong->horizontalHeader()->setMinimumSectionSize(0);
    AdvStringGridSong->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    AdvStringGridSong->installEventFilter(this);
    connect(songGrid, &GridView::MouseUp, this, [this](bool endsDoubleClick) {
        if (!iPodFound || Copying)
            return;
        ProgressBarItunes->setPosition(0);
        // The first release has written the count; what a double-click did stays readable.
        if (!endsDoubleClick)
            ShowSelectionCount();
    });
    // Whatever gesture changed the marks (mouse, keys, commands), the count follows.
    connect(AdvStringGridSong->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormMain::ShowSelectionCount);
    connect(AdvStringGridSong->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) {
                if (SongModel->rowCount() < 2 ||
                    SongModel->TrackOfRow(0) == TrackTableModel::kNoTrack)
                    return;
                sortOrder_ = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder
                                 ? Qt::DescendingOrder
                                 : Qt::AscendingOrder;
                sortColumn_ = column;
                AdvStringGridSong->horizontalHeader()->setSortIndicatorShown(true);
                AdvStringGridSong->horizontalHeader()->setSortIndicator(column, sortOrder_);
                SongModel->SortRows(column, sortOrder_);
            });
    connect(AdvStringGridSong, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { AdvStringGridSongDblClickCell(index.row()); });
    connect(AdvStringGridSong, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { SongRightClick(AdvStringGridSong->indexAt(at).row()); });
    connect(AdvStringGridSong->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            [this] { SongRightClick(-1); });

    SongsPopupMenu = new QMenu(AdvStringGridSong);
    auto songAction = [&](const char* name, const char* caption) {
        QAction* action = SongsPopupMenu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(songAction("CopyoutSong", "Copy"), &QAction::triggered, this,
            &TFormMain::CopyoutSongClick);
    connect(songAction("StopCopyOut", "Stop"), &QAction::triggered, this,
            &TFormMain::StopCopyOutClick);
    connect(songAction("SelectAllSong", "Select All"), &QAction::triggered, this,
            &TFormMain::SelectAllSongs);
    connect(songAction("InvertSelectSong", "Invert Select"), &QAction::triggered, this,
            &TFormMain::InvertSelectSongs);
    connect(songAction("ClearSelectSong", "Clear Select"), &QAction::triggered, this,
            &TFormMain::ClearSelectSongs);

    // The search and device panel: caption pictures, the search box in its frame picture, the
    // selector.
    QWidget* searchPanel = Panel(this, "SearchPanel", QRect(504, 56, 193, 105));
    SearchCaption =
        new app::FrameImage(QStringLiteral("search_caption"), {13, 27, 32, 10}, searchPanel);
    auto* searchFrame =
        new app::FrameImage(QStringLiteral("search_frame"), {49, 25, 126, 21}, searchPanel);
    Edit1 = new QLineEdit(searchPanel);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(50, 26, 124, 19);
    Edit1->setFrame(false);
    Edit1->setFont(skin::ControlFont());
    Edit1->setAccessibleName(QStringLiteral("Search"));
    Edit1->installEventFilter(this);
    SelectorCaption =
        new app::FrameImage(QStringLiteral("device_caption"), {19, 66, 19, 10}, searchPanel);
    iPodSelectorCom = new PlayerSelector(searchPanel);
    iPodSelectorCom->setObjectName(QStringLiteral("iPodSelectorCom"));
    iPodSelectorCom->setGeometry(49, 59, 127, 21);
    iPodSelectorCom->setAccessibleName(QStringLiteral("iPod"));
    connect(iPodSelectorCom, &PlayerSelector::CloseUp, this, &TFormMain::iPodSelectorComCloseUp);
    const std::initializer_list<QWidget*> areas{songPanel, searchPanel, SearchCaption, searchFrame,
                                                SelectorCaption};
    for (QWidget* area : areas)
        Dragger->AddArea(area);

    // The list panel with its tab buttons; the lists lie on top of each other. Four tabs share
    // the width of the list, each as wide as its bold caption needs.
    QWidget* listPanel = Panel(this, "ListPanel", QRect(504, 176, 193, 225));
    Dragger->AddArea(listPanel);
    auto tab = [&](const char* name, const char* caption, int left, int width, int index) {
        auto* button = new TabButton(QString::fromLatin1(caption), listPanel);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 14, width, 18);
        connect(button, &QAbstractButton::clicked, this, [this, index] { ActivateTab(index); });
        return button;
    };
    ArtistTabButton = tab("ArtistTabButton", "Artist", 7, 36, 0);
    AlbumTabButton = tab("AlbumTabButton", "Album", 43, 41, 1);
    FileTypeTabButton = tab("FileTypeTabButton", "File Type", 84, 52, 2);
    PlaylistTabButton = tab("PlaylistTabButton", "Playlists", 136, 51, 3);
    ArtistList = MakeCategoryList(ArtistModel, ArtistPopupMenu, QStringLiteral("ArtistList"));
    AlbumList = MakeCategoryList(AlbumModel, AlbumPopupMenu, QStringLiteral("AlbumList"));
    FileTypeList =
        MakeCategoryList(FileTypeModel, FileTypePopupMenu, QStringLiteral("FileTypeList"));
    PlaylistList =
        MakeCategoryList(PlaylistModel, PlaylistPopupMenu, QStringLiteral("PlaylistList"));
    ArtistList->setAccessibleName(QStringLiteral("Artist"));
    AlbumList->setAccessibleName(QStringLiteral("Album"));
    FileTypeList->setAccessibleName(QStringLiteral("File Type"));
    PlaylistList->setAccessibleName(QStringLiteral("Playlists"));

    // The button bar between its end caps. Copy and Option open the copy job and the options
    // window.
    auto barButton = [&](const char* name, const char* caption, int left) {
        auto* button = new SkinButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 413, 56, 29);
        return button;
    };
    XP_Button5 = barButton("XP_Button5", "WebSite", 517);
    XP_Button3 = barButton("XP_Button3", "Option", 573);
    ButtonCopy = barButton("ButtonCopy", "Copy", 629);
    connect(XP_Button5, &QAbstractButton::clicked, this, &app::OpenMakerSite);
    connect(ButtonCopy, &QAbstractButton::clicked, this, &TFormMain::ButtonCopyClick);
    FormOption = new TFormOption(AdvStringGridSong, this);
    connect(FormOption, &TFormOption::SettingsSaved, this, [this](bool play, bool overwrite) {
        SetDBClickPlaySong(play);
        SetOverWriteExistFile(overwrite);
    });
    connect(FormOption, &TFormOption::CopyChoicesSaved, this,
            [this](const QString& layout, bool skip, bool playlists) {
                CopyLayout = layout.toStdString();
                SkipExisting = skip;
                WritePlaylists = playlists;
            });
    // The layout field shows where the first tracks of the player would go.
    FormOption->PreviewNames = [this](const std::string& layout) {
        std::vector<std::string> names;
        for (std::int32_t track = 0; track < iPod.GetSongCount() && names.size() < 3; ++track)
            names.push_back(copy::LayoutPath(layout, iPod, track));
        return names;
    };
    connect(XP_Button3, &QAbstractButton::clicked, this, &TFormMain::XP_Button3Click);
    // A running job reads the setting once per entry: the change applies from the next one.
    connect(this, &TFormMain::OverWriteExistFileChanged, this, [this](bool overwrite) {
        if (Copying && CopyThread() != nullptr)
            CopyThread()->SetOverWriteExistFile(overwrite);
    });
    ActivateTab(0);
    SetTabOrder();
}

void TFormMain::BuildFrame() {
    Dragger = new app::WindowDragger(this);
    Dragger->AddArea(this);
    // The pictures of the frame, at their places; later ones lie over earlier ones.
    const app::FramePiece frame[] = {
        {"TitleStrip", "title_strip", {0, 1, 705, 37}, true},
        {"StatusArea", "status_area", {200, 1, 289, 37}, true},
        {"TitleDecorationLeft", "title_decoration_left", {168, 1, 32, 32}, true},
        {"TitleDecorationRight", "title_decoration_right", {488, 1, 32, 32}, true},
        {"StatusCapLeft", "status_cap_left", {204, 2, 13, 24}, true},
        {"StatusCapRight", "status_cap_right", {473, 2, 13, 24}, true},
        {"TitleCornerLeft", "title_corner_left", {0, 0, 9, 31}, true},
        {"TitleCornerRight", "title_corner_right", {696, 0, 9, 31}, true},
        {"SideBorderLeft", "side_border", {0, 37, 1, 421}, true},
        {"SideBorderRight", "side_border", {704, 37, 1, 421}, true},
        {"BottomCapLeft", "bottom_cap_left", {0, 457, 13, 18}, true},
        {"BottomStrip", "bottom_strip", {13, 457, 679, 18}, true},
        {"BottomCapRight", "bottom_cap_right", {692, 457, 13, 18}, true},
        {"BarCapLeft", "bar_cap_left", {504, 413, 13, 29}, false},
        {"BarCapRight", "bar_cap_right", {685, 413, 13, 29}, false},
    };
    app::AddFrame(this, Dragger, frame);

    Notifier = new StatusLine(this);
    Notifier->setObjectName(QStringLiteral("Notifier"));
    Notifier->setGeometry(217, 4, 256, 20);
    Notifier->setAlignment(Qt::AlignCenter);
    Notifier->setFont(skin::ButtonFont());
    Notifier->setIndent(3);
    QPalette yellow = Notifier->palette();
    yellow.setColor(QPalette::WindowText, QColor(245, 255, 91));
    Notifier->setPalette(yellow);
    Dragger->AddArea(Notifier);

    ProgressBarItunes = new SkinProgressBar(this);
    ProgressBarItunes->setObjectName(QStringLiteral("ProgressBarItunes"));
    ProgressBarItunes->setGeometry(224, 38, 257, 11);
    ProgressBarItunes->setMaximum(100);
    ProgressBarItunes->setPosition(0);
    Dragger->AddArea(ProgressBarItunes);

    const app::TitleButtons title = app::AddTitleButtons(this, 616, 10);
    XP_ButtonSmall1 = title.minimize;
    XP_ButtonSmall3 = title.close;
    XP_ButtonSmall2 = title.web;
    connect(XP_ButtonSmall3, &QAbstractButton::clicked, this, &TFormMain::XP_ButtonSmall3Click);
}

void TFormMain::SetTabOrder() {
    // The way a reader goes: the tracks, then finding them (search, player, lists), then the
    // commands, the title bar last. The hidden lists are skipped on their own.
    QWidget* chain[] = {AdvStringGridSong, Edit1,          iPodSelectorCom,
                        ArtistTabButton,   AlbumTabButton, FileTypeTabButton,
                        PlaylistTabButton, ArtistList,     AlbumList,
                        FileTypeList,      PlaylistList,   XP_Button5,
                        XP_Button3,        ButtonCopy,     XP_ButtonSmall1,
                        XP_ButtonSmall3,   XP_ButtonSmall2};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

// ---- Settings -------------------------------------------------------------------------------

void TFormMain::ReadRegistry() {
    app::Guard("ReadRegistry:", [&]() -> platform::Status {
        settings::RegistrySettings stored;
        stored.DBClickPlaySong = DBClickPlaySong;
        stored.OverWriteExistFile = OverWriteExistFile;
        const platform::Status read = Settings().ReadRegistry(stored);
        DBClickPlaySong = stored.DBClickPlaySong;
        OverWriteExistFile = stored.OverWriteExistFile;
        ProgramFolder = stored.ProgramFolder;
        // A layout that cannot name a file (edited by hand) is the flat folder again.
        CopyLayout = copy::CheckLayout(stored.CopyLayout) ? stored.CopyLayout
                                                          : std::string(copy::kFlatLayout);
        SkipExisting = stored.SkipExisting;
        WritePlaylists = stored.WritePlaylists;
        app::TLogClass::SetProgramFolder(ProgramFolder);
        return read;
    });
}

void TFormMain::WriteRegistry() {
    app::Guard("WriteRegistry:", [&] {
        settings::RegistrySettings stored;
        stored.DBClickPlaySong = DBClickPlaySong;
        stored.OverWriteExistFile = OverWriteExistFile;
        stored.ProgramFolder = ProgramFolder;
        stored.CopyLayout = CopyLayout;
        stored.SkipExisting = SkipExisting;
        stored.WritePlaylists = WritePlaylists;
        return Settings().WriteRegistry(stored);
    });
}

void TFormMain::ReadIniFile() {
    app::Guard("ReadIniFile:", [&] {
        settings::Layout layout;
        const platform::Status status = Settings().ReadLayout(ProgramFolder, layout);
        iPodSelectorCom->setVisible(layout.iPodSelector);
        SelectorCaption->setVisible(layout.iPodSelectorCaption);
        Edit1->setVisible(layout.SearchBox);
        SearchCaption->setVisible(layout.SearchBoxCaption);
        ArtistList->setVisible(layout.ArtistList);
        AlbumList->setVisible(layout.AlbumList);
        FileTypeList->setVisible(layout.FileTypeList);
        ColWidthList = layout.ColWidthList;
        return status;
    });
}

void TFormMain::WriteIniFile() {
    app::Guard("WriteIniFile:", [&] {
        std::array<int, settings::kLayoutColumns> widths{};
        for (int column = 0; column < settings::kLayoutColumns; ++column)
            widths[static_cast<std::size_t>(column)] = AdvStringGridSong->columnWidth(column);
        return Settings().WriteLayout(ProgramFolder, widths);
    });
}

settings::TSettingsStore& TFormMain::Settings() const {
    return environment_.settings != nullptr ? *environment_.settings
                                            : settings::FileSettingsStore();
}

void TFormMain::SetDBClickPlaySong(bool on) {
    DBClickPlaySong = on;
}

void TFormMain::SetOverWriteExistFile(bool on) {
    const bool changed = on != OverWriteExistFile;
    OverWriteExistFile = on;
    if (changed)
        emit OverWriteExistFileChanged(on);
}

void TFormMain::XP_Button3Click() {
    FormOption->OverWriteExistFile = OverWriteExistFile;
    FormOption->DBClickPlaySong = DBClickPlaySong;
    FormOption->CopyLayout = CopyLayout;
    FormOption->SkipExisting = SkipExisting;
    FormOption->WritePlaylists = WritePlaylists;
    FormOption->exec();
}

// ---- Life cycle -----------------------------------------------------------------------------

void TFormMain::setVisible(bool visible) {
    // Placed once its native window exists, the window would be moved just before it is
    // mapped, which can leave Qt with another position than the window manager's.
    if (visible && !placed_) {
        placed_ = true;
        // On a screen narrower than the window, the title-bar buttons (the last ends at 682)
        // stay reachable, so the window can always be closed.
        app::CentreOnScreen(this, 682 + 6);
    }
    QWidget::setVisible(visible);
}

void TFormMain::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    QWidget::showEvent(event);
}

void TFormMain::FormShow() {
    app::Guard("FormShow:", [&]() -> platform::Status {
        // The keys start on the tracks, the first control in reading order.
        AdvStringGridSong->setFocus();
        ArtistList->setVisible(true);
        AlbumList->setVisible(false);
        FileTypeList->setVisible(false);
        PlaylistList->setVisible(false);
        DisPlaySongsInit();
        DisPlayOtherInit();
        if (GetiPodDriver()) {
            const browser::TPlayerLoad loaded = LoadCurrentiPod();
            ShowLoadedPlayer(loaded, "FormShow:");
            if (loaded.HasDatabase())
                CopyiPodDatabase(loaded.report.path);
        }
        if (!environment_.extraPlayers.empty() && environment_.namedFolderCheckMilliseconds > 0) {
            namedFolderCheck_ = new QTimer(this);
            connect(namedFolderCheck_, &QTimer::timeout, this, &TFormMain::CheckNamedFolders);
            namedFolderCheck_->start(environment_.namedFolderCheckMilliseconds);
        }
        // A folder the user named that is not listed is the news of this start.
        std::string rejected;
        for (const std::string& folder : environment_.extraPlayers)
            if (auto why = device::PlayerFolderRejection(folder))
                rejected += (rejected.empty() ? "" : "\n") + *why;
        if (!rejected.empty())
            ShowStatus(rejected.substr(0, rejected.find('\n')), rejected);
        return platform::Status::Ok();
    });
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // However the window is closed, a running worker is never left behind.
    if (!copySide_->QueryClose()) {
        event->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

void TFormMain::CheckTermination() {
    if (!environment_.terminationRequested())
        return;
    terminationCheck_->stop();
    // A running job ends as after a Yes: its complete copies named, its partial file removed.
    copySide_->AbandonJob();
    // A dialog or question still open goes unanswered; its own loop ends once this returns.
    for (int open = 0; open < 8; ++open) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->close())
            break;
    }
    close();
}

void TFormMain::FormClose() {
    WriteIniFile();
    WriteRegistry();
}

void TFormMain::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The hidden lists are left alone; they paint when shown.
    for (QTableView* grid : {AdvStringGridSong, ArtistList, AlbumList, FileTypeList, PlaylistList})
        if (grid != nullptr && grid->isVisible())
            app::RepaintWhole(grid);
}

// ---- Track table ----------------------------------------------------------------------------

void TFormMain::ShowStatus(const std::string& text, const std::string& detail) {
    const QString shown = QString::fromStdString(browser::CutStatusText(text));
    Notifier->setText(shown);
    // Centred, a text wider than the line would lose both its ends; it keeps its start.
    const bool fits = Notifier->fontMetrics().horizontalAdvance(shown) <= Notifier->width();
    Notifier->setAlignment(fits ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    Notifier->setToolTip(QString::fromStdString(detail.empty() ? text : detail));
}

void TFormMain::DisPlaySongsInit() {
    app::Guard("DisPlaySongsInit:", [&] {
        AdvStringGridSong->setColumnWidth(0, 16);
        for (int column = 1; column < TrackTableModel::kColumns; ++column)
            AdvStringGridSong->setColumnWidth(
                column, std::max(0, ColWidthList.at(static_cast<std::size_t>(column))));
        SongModel->ShowBlankRow();
    });
}

void TFormMain::DisPlaySongs(TDisplayMode mode, const std::vector<std::string>& names) {
    app::Guard("DisPlaySongs:", [&] {
        DisPlaySongsInit();
        sortColumn_ = 0;
        sortOrder_ = Qt::AscendingOrder;
        AdvStringGridSong->horizontalHeader()->setSortIndicatorShown(false);
        SongModel->ShowTracks(browser::ListTracks(iPod, mode, names));
        if (auto status = browser::ListingStatus(mode, names, iPod.GetSongCount()))
            ShowStatus(*status);
    });
}

std::vector<int> TFormMain::SelectedRows(QTableView* view) const {
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TFormMain::SetRowsSelected(QTableView* view, const std::vector<int>& rows, bool selected) {
    QItemSelection selection;
    for (int row : rows)
        selection.select(view->model()->index(row, 0), view->model()->index(row, 0));
    view->selectionModel()->select(
        selection, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                       QItemSelectionModel::Rows);
}

std::vector<std::int32_t> TFormMain::SelectedTracks() const {
    std::vector<std::int32_t> tracks;
    for (int row : SelectedRows(AdvStringGridSong))
        if (const std::int32_t track = SongModel->TrackOfRow(row);
            track != TrackTableModel::kNoTrack)
            tracks.push_back(track);
    return tracks;
}

void TFormMain::ShowSelectionCount() {
    if (!iPodFound)
        return;
    std::int64_t count = 0;
    for (int row : SelectedRows(AdvStringGridSong))
        if (SongModel->TrackOfRow(row) != TrackTableModel::kNoTrack &&
            !iPod.Field(SongModel->TrackOfRow(row), SongField::Title).empty())
            ++count;
    ShowStatus(browser::SelectionCountText(count));
}

void TFormMain::SelectAllSongs() {
    AdvStringGridSong->selectAll();
    ShowSelectionCount();
}

void TFormMain::InvertSelectSongs() {
    QItemSelection all(SongModel->index(0, 0),
                       SongModel->index(SongModel->rowCount() - 1, TrackTableModel::kColumns - 1));
    if (SongModel->rowCount() > 0)
        AdvStringGridSong->selectionModel()->select(all, QItemSelectionModel::Toggle |
                                                             QItemSelectionModel::Rows);
    ShowSelectionCount();
}

void TFormMain::ClearSelectSongs() {
    AdvStringGridSong->clearSelection();
    ShowSelectionCount();
}

void TFormMain::MoveAddingRow(int key) {
    const int rows = SongModel->rowCount();
    if (rows == 0)
        return;
    const QModelIndex current = AdvStringGridSong->currentIndex();
    const int page = std::max(1, AdvStringGridSong->viewport()->height() / kRowHeight - 1);
    int row = current.isValid() ? current.row() : 0;
    switch (key) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    default:
        row = rows - 1;
    }
    const QModelIndex target =
        SongModel->index(std::clamp(row, 0, rows - 1), std::max(1, current.column()));
    AdvStringGridSong->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    AdvStringGridSong->selectionModel()->select(target, QItemSelectionModel::Select |
                                                            QItemSelectionModel::Rows);
    AdvStringGridSong->scrollTo(target);
}

void TFormMain::SongRightClick(int row) {
    if (row >= 0)
        SetRowsSelected(AdvStringGridSong, {row}, true);
    ShowSelectionCount();
    UpdateMenuEnabling();
    if (isVisible())
        SongsPopupMenu->popup(QCursor::pos());
}

void TFormMain::AdvStringGridSongDblClickCell(int row) {
    app::Guard("PlaySong:", [&] {
        if (!DBClickPlaySong || !iPodFound || row < 0)
            return;
        // The row's own track: two tracks with one title are still two files.
        const std::int32_t track = SongModel->TrackOfRow(row);
        if (track == TrackTableModel::kNoTrack)
            return;
        const std::string_view location = iPod.Field(track, SongField::Location);
        // Only a regular file inside the player is ever handed to the shell: a missing file,
        // a pipe or a link that leads off the player is not played.
        device::PlayerFiles files(iPod.iPodPath);
        const auto found = files.FindLocation(location);
        const std::string name(iPod.Field(track, SongField::Title));
        if (!found) {
            ShowStatus("File not found on the iPod: " + name);
            return;
        }
        const std::string& path = found->path;
        if (!browser::IsPlayableFile(path)) {
            ShowStatus("Not a music or video file: " + path.substr(path.find_last_of("/\\") + 1));
            return;
        }
        // A type no program is set for: the user is told, not left waiting for a player.
        if (environment_.openFile)
            if (auto opened = environment_.openFile(path); !opened)
                ShowStatus("No program is set to open this file", opened.message());
    });
}

// ---- Category lists -------------------------------------------------------------------------

void TFormMain::DisPlayOtherInit() {
    app::Guard("DisPlayOtherInit:", [&] {
        for (CategoryListModel* model : {ArtistModel, AlbumModel, FileTypeModel, PlaylistModel})
            model->ShowEmpty();
        for (QTableView* list : CategoryLists())
            list->setColumnWidth(0, 200);
    });
}

void TFormMain::DisPlayOther() {
    app::Guard("DisPlayOther:", [&] {
        ArtistModel->ShowValues(iPod.GetArtistList());
        AlbumModel->ShowValues(iPod.GetAlbumList());
        FileTypeModel->ShowValues(iPod.GetFileTypeList());
        // In the player's own order, which its owner chose.
        std::vector<std::string> playlists;
        for (const TPlaylist& playlist : iPod.Playlists())
            playlists.push_back(playlist.name);
        if (playlists.empty())
            PlaylistModel->ShowNoRows();
        else
            PlaylistModel->ShowValues(playlists);
    });
}

void TFormMain::ShowListSongs(QTableView* list, TDisplayMode mode, const char* logPrefix) {
    app::Guard(logPrefix, [&] {
        if (!iPodFound || Copying)
            return;
        const auto* model = static_cast<const CategoryListModel*>(list->model());
        std::vector<std::string> names;
        for (int row : SelectedRows(list))
            names.push_back(model->EntryText(row));
        const bool all = std::any_of(names.begin(), names.end(), [](const std::string& name) {
            return platform::CompareText(name, browser::kAllEntry) == 0;
        });
        if (all)
            DisPlaySongs(TDisplayMode::dmAll);
        else if (!names.empty())
            DisPlaySongs(mode, names);
    });
}

void TFormMain::DisPlayCurrentArtistSongs() {
    ShowListSongs(ArtistList, TDisplayMode::dmArtists, "DisPlayCurrentArtistSongs:");
}

void TFormMain::DisPlayCurrentAlbumSongs() {
    ShowListSongs(AlbumList, TDisplayMode::dmAlbums, "DisPlayCurrentAlbumSongs:");
}

void TFormMain::DisPlayCurrentFileTypeSongs() {
    ShowListSongs(FileTypeList, TDisplayMode::dmFileTypes, "DisPlayCurrentFileTypeSongs:");
}

void TFormMain::DisPlayCurrentPlaylistSongs() {
    ShowListSongs(PlaylistList, TDisplayMode::dmPlaylists, "DisPlayCurrentPlaylistSongs:");
}

std::array<QTableView*, 4> TFormMain::CategoryLists() const {
    return {ArtistList, AlbumList, FileTypeList, PlaylistList};
}

void TFormMain::ListClicked(QTableView* list) {
    for (QTableView* other : CategoryLists())
        if (other != list)
            other->clearSelection();
}

namespace {

void ShowListFor(TFormMain& form, QTableView* list) {
    if (list == form.ArtistList)
        form.DisPlayCurrentArtistSongs();
    else if (list == form.AlbumList)
        form.DisPlayCurrentAlbumSongs();
    else if (list == form.FileTypeList)
        form.DisPlayCurrentFileTypeSongs();
    else
        form.DisPlayCurrentPlaylistSongs();
}

std::vector<int> EntryRows(const QTableView* list) {
    std::vector<int> rows;
    for (int row = 1; row < list->model()->rowCount(); ++row)
        rows.push_back(row);
    return rows;
}

} // namespace

void TFormMain::SelectAllIn(QTableView* list) {
    SetRowsSelected(list, EntryRows(list), true);
    ShowListFor(*this, list);
}

void TFormMain::InvertSelectIn(QTableView* list) {
    const std::vector<int> rows = EntryRows(list);
    if (!rows.empty()) {
        QItemSelection entries(list->model()->index(rows.front(), 0),
                               list->model()->index(rows.back(), 0));
        list->selectionModel()->select(entries,
                                       QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    }
    ShowListFor(*this, list);
}

void TFormMain::ClearSelectIn(QTableView* list) {
    list->clearSelection();
}

void TFormMain::ListRightClick(QTableView* list, int row) {
    if (row >= 1) {
        SetRowsSelected(list, {row}, true);
        list->viewport()->update();
        ShowListFor(*this, list);
    }
    UpdateMenuEnabling();
    QMenu* menu = list == ArtistList     ? ArtistPopupMenu
                  : list == AlbumList    ? AlbumPopupMenu
                  : list == FileTypeList ? FileTypePopupMenu
                                         : PlaylistPopupMenu;
    if (isVisible())
        menu->popup(QCursor::pos());
}

void TFormMain::ActivateTab(int tab) {
    TabButton* buttons[] = {ArtistTabButton, AlbumTabButton, FileTypeTabButton, PlaylistTabButton};
    const auto lists = CategoryLists();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        buttons[i]->setActive(static_cast<int>(i) == tab);
        lists[i]->setVisible(static_cast<int>(i) == tab);
    }
}

void TFormMain::UpdateMenuEnabling() {
    for (QAction* action : SongsPopupMenu->actions()) {
        const bool stop = action->objectName() == QStringLiteral("StopCopyOut");
        action->setEnabled(Copying ? stop : (iPodFound && !stop));
    }
    for (QMenu* menu : {ArtistPopupMenu, AlbumPopupMenu, FileTypePopupMenu, PlaylistPopupMenu})
        for (QAction* action : menu->actions())
            action->setEnabled(iPodFound);
}

// ---- Search ---------------------------------------------------------------------------------

void TFormMain::Edit1KeyDown() {
    app::Guard("Edit1KeyPress:", [&] {
        if (!iPodFound || Copying)
            return;
        const std::string text = Edit1->text().toStdString();
        if (!browser::SearchTextAccepted(text))
            return;
        DisPlaySongs(TDisplayMode::dmSearch, {text});
    });
}

// ---- Devices --------------------------------------------------------------------------------

std::vector<device::FoundPlayer> TFormMain::ScanForPlayers() {
    std::vector<device::FoundPlayer> players;
    app::Guard("GetiPodDriver:", [&] {
        device::ScanSources sources{environment_.removableRoots, environment_.extraPlayers};
        players = device::ScanPlayers(sources, [](const std::string& message) {
            app::TLogClass::WriteLog("GetVolumInformation:" + message);
        });
    });
    return players;
}

void TFormMain::CheckNamedFolders() {
    std::vector<device::FoundPlayer> now;
    app::Guard("GetiPodDriver:", [&] {
        now = device::ScanPlayers({nullptr, environment_.extraPlayers}, {});
    });
    if (device::NamedPlayersChanged(Players.Players(), now))
        DeviceChange();
}

bool TFormMain::ListPlayers(std::vector<device::FoundPlayer> players) {
    app::Guard("GetiPodDriver:", [&] {
        Players.List(std::move(players));
        ShowPlayerList();
    });
    return !Players.Players().empty();
}

void TFormMain::ShowPlayerList() {
    app::Guard("GetiPodDriver:", [&] {
        const std::vector<device::FoundPlayer>& players = Players.Players();
        iPodSelectorCom->ShowPlayers(players);
        // The entry shown is the player whose tracks are shown.
        iPodSelectorCom->SelectRoot(iPod.iPodPath);
        if (players.empty()) {
            ShowStatus(device::kNoPlayerEntry);
        } else {
            iPodFound = true;
            ShowStatus(std::to_string(players.size()) + " iPod detected.");
        }
    });
}

bool TFormMain::GetiPodDriver() {
    return ListPlayers(ScanForPlayers());
}

browser::TPlayerLoad TFormMain::LoadCurrentiPod() {
    return Players.Load();
}

void TFormMain::ShowLoadedPlayer(const browser::TPlayerLoad& load, const char* logPrefix) {
    DisPlaySongs(TDisplayMode::dmAll);
    if (load.Listable())
        DisPlayOther();
    else
        DisPlayOtherInit();
    iPodSelectorCom->SelectRoot(iPod.iPodPath);
    if (load.notice) {
        ShowStatus(load.notice->status, load.notice->detail);
        app::TLogClass::WriteLog(logPrefix + load.notice->detail);
    }
}

void TFormMain::UnloadPlayer() {
    Players.Unload();
    ShowUnloaded();
}

void TFormMain::ShowUnloaded() {
    DisPlaySongs(TDisplayMode::dmAll);
    DisPlayOtherInit();
    iPodSelectorCom->SelectRoot({});
}

void TFormMain::CopyiPodDatabase(const std::string& database) {
    if (DatabaseCopied)
        return;
    DatabaseCopied = true;
    // Hundreds of megabytes for a large library, on every start: only when it changed.
    const std::string copy = settings::ProgramFile(ProgramFolder, "Idb.ant");
    if (!platform::IsUnchangedCopy(database, copy))
        (void)platform::CopyFileReplacing(database, copy);
}

void TFormMain::ReloadAfterChoice() {
    ShowLoadedPlayer(LoadCurrentiPod(), "LoadCurrentiPod:");
}

void TFormMain::DeviceChange() {
    const device::PlayerChanges changes = Players.Update(ScanForPlayers());
    if (!changes.changed)
        return; // the volumes that changed hold no player of ours
    if (changes.loadedGone)
        ShowUnloaded();
    if (changes.arrived)
        ShowStatus("Detecting New iPod...");
    ShowPlayerList();
    if (changes.arrived) {
        // The current player is loaded again: after a first detection the one just found.
        ReloadAfterChoice();
    } else if (changes.loadedGone) {
        ShowStatus("iPod removed.");
    }
}

void TFormMain::iPodSelectorComCloseUp() {
    // Nothing to load while the selector only asks for a player, or shows none.
    const std::string root = iPodSelectorCom->CurrentRoot();
    if (!iPodFound || root.empty())
        return;
    Players.Choose(root);
    ReloadAfterChoice();
}

// ---- Events ---------------------------------------------------------------------------------

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (PlaylistList == nullptr) // still building the controls
        return QWidget::eventFilter(watched, event);
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool key = event->type() == QEvent::KeyPress;

    if (watched == AdvStringGridSong && key) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_A && (keyEvent->modifiers() & Qt::ControlModifier)) {
            SelectAllSongs();
            return true;
        }
        if (IsNavigationKey(keyEvent->key()) && keyEvent->modifiers() == Qt::ControlModifier) {
            MoveAddingRow(keyEvent->key());
            return true;
        }
        if (keyEvent->key() == Qt::Key_Space && keyEvent->modifiers() == Qt::NoModifier) {
            const QModelIndex current = AdvStringGridSong->currentIndex();
            if (current.isValid())
                AdvStringGridSong->selectionModel()->select(current, QItemSelectionModel::Toggle |
                                                                         QItemSelectionModel::Rows);
            return true;
        }
    }
    if (watched == Edit1 && key) {
        const int pressed = static_cast<QKeyEvent*>(event)->key();
        if (pressed == Qt::Key_Return || pressed == Qt::Key_Enter) {
            Edit1KeyDown();
            return true;
        }
    }
    for (QTableView* list : CategoryLists()) {
        if (watched == list->viewport() && press &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            ListClicked(list);
        if (watched == list && key) {
            const auto* keyEvent = static_cast<QKeyEvent*>(event);
            if (keyEvent->key() == Qt::Key_A && (keyEvent->modifiers() & Qt::ControlModifier)) {
                SelectAllIn(list);
                return true;
            }
            if (IsNavigationKey(keyEvent->key()))
                ListClicked(list);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Copy -----------------------------------------------------------------------------------

void TFormMain::ButtonCopyClick() {
    const QString caption = ButtonCopy->text();
    if (caption == QStringLiteral("Copy"))
        CopyoutSongClick();
    else if (caption == QStringLiteral("Stop"))
        StopCopyOutClick();
}

void TFormMain::CopyoutSongClick() {
    copySide_->CopyoutSongClick();
}

void TFormMain::StopCopyOutClick() {
    copySide_->StopCopyOutClick();
}

void TFormMain::XP_ButtonSmall3Click() {
    if (copySide_->QueryClose())
        close();
}

void TFormMain::SetCopying(bool copying) {
    Copying = copying;
    ButtonCopy->setText(QString::fromLatin1(copying ? "Stop" : "Copy"));
}

void TFormMain::SetProgress(int position) {
    ProgressBarItunes->setPosition(position);
}

void TFormMain::SetProgressMax(int maximum) {
    ProgressBarItunes->setMaximum(maximum);
}

std::size_t TFormMain::PlayerCount() const {
    return iPodSelectorCom->Roots().size();
}

void TFormMain::CMProgressPosition(int position) {
    copySide_->CMProgressPosition(position);
}

void TFormMain::CMProgressMax(int maximum) {
    copySide_->CMProgressMax(maximum);
}

void TFormMain::CMProgressText(const std::string& text) {
    copySide_->CMProgressText(text);
}

void TFormMain::CMProgressFinish(int result) {
    copySide_->CMProgressFinish(result);
}

TCopyThread* TFormMain::CopyThread() const {
    return copySide_->CopyThread();
}

std::vector<std::string> TFormMain::SourceFiles() const {
    std::vector<std::string> sources;
    for (const copy::TCopyEntry& entry : copySide_->Job().entries)
        sources.push_back(entry.source);
    return sources;
}

std::vector<std::string> TFormMain::TitleList() const {
    std::vector<std::string> titles;
    for (const copy::TCopyEntry& entry : copySide_->Job().entries)
        titles.push_back(entry.title);
    return titles;
}
