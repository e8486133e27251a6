#include "gui/TFormReport.h"

#include "core/base/Guard.h"
#include "gui/WindowChrome.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/TitleBarButton.h"
#include "core/copy/ReportText.h"

#include <QHeaderView>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

constexpr int kRowHeight = 16;
constexpr int kTitleColumnWidth = 166;

// Whole rows are selected, but the selection is not drawn: the bands and the failure colour
// stay readable.
class UnmarkedDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }
};

QTableWidgetItem* Cell(const std::string& text, bool failed) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setToolTip(item->text());
    if (failed)
        item->setForeground(TFormReport::FailureColor());
    return item;
}

} // namespace

TFormReport::TFormReport(QWidget* mainWindow, FolderOpener openFolder, Teller tell)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint), openFolder_(std::move(openFolder)),
      tell_(std::move(tell)) {
    setObjectName(QStringLiteral("FormReport"));
    setWindowTitle(QStringLiteral("Copy Report"));
    setFixedSize(431, 277);
    app::FillBackground(this, QColor(219, 219, 229));

    Dragger = new app::WindowDragger(this);
    Dragger->AddArea(this);
    // The light dialog's frame. The left border and the top line start no drag.
    const app::FramePiece frame[] = {
        {"TitleStrip", "dialog_title_strip", {0, 1, 431, 30}, true},
        {"TopLine", "side_border", {9, 0, 413, 1}, false},
        {"TitleCornerLeft", "dialog_title_corner_left", {0, 0, 9, 30}, true},
        {"TitleCornerRight", "dialog_title_corner_right", {422, 0, 9, 30}, true},
        {"SideBorderLeft", "dialog_side_border", {0, 30, 1, 235}, false},
        {"SideBorderRight", "dialog_side_border", {430, 30, 1, 235}, true},
        {"BottomCapLeft", "dialog_bottom_cap_left", {0, 265, 13, 12}, true},
        {"BottomStrip", "dialog_bottom_strip", {13, 265, 405, 12}, true},
        {"BottomCapRight", "dialog_bottom_cap_right", {418, 265, 13, 12}, true},
    };
    app::AddFrame(this, Dragger, frame);
    app::FollowShownPosition(this);

    app::AddCaption(this, Dragger, {14, 7, 200, 18});

    const app::TitleButtons title = app::AddTitleButtons(this, 345, 6);
    XP_ButtonSmall1 = title.minimize;
    XP_ButtonSmall3 = title.close;
    XP_ButtonSmall2 = title.web;
    connect(XP_ButtonSmall3, &QAbstractButton::clicked, this, &TFormReport::CloseButtonClick);

    Reporter = new QTableWidget(this);
    Reporter->setObjectName(QStringLiteral("Reporter"));
    Reporter->setGeometry(8, 38, 415, 188);
    Reporter->setAccessibleName(QStringLiteral("Copy report"));
    Reporter->setTabKeyNavigation(false);
    Reporter->setColumnCount(2);
    Reporter->setFont(app::TableFont(false));
    Reporter->horizontalHeader()->setFont(app::TableFont(true));
    Reporter->horizontalHeader()->setFixedHeight(kRowHeight);
    Reporter->horizontalHeader()->setHighlightSections(false);
    Reporter->horizontalHeader()->setSectionsClickable(false);
    Reporter->horizontalHeader()->setStretchLastSection(true);
    Reporter->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Reporter->verticalHeader()->hide();
    Reporter->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Reporter->verticalHeader()->setMinimumSectionSize(kRowHeight);
    Reporter->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Reporter->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Reporter->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Reporter->setSelectionBehavior(QAbstractItemView::SelectRows);
    Reporter->setSelectionMode(QAbstractItemView::SingleSelection);
    Reporter->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Reporter->setWordWrap(false);
    Reporter->setTextElideMode(Qt::ElideMiddle);
    Reporter->setAlternatingRowColors(true);
    Reporter->setItemDelegate(new UnmarkedDelegate(Reporter));
    Reporter->setStyleSheet(QStringLiteral(
        "QTableView { gridline-color: silver; alternate-background-color: rgb(237, 243, 254); }"
        "QHeaderView::section { background-color: rgb(166, 202, 240); color: black; "
        "border: 0px; border-right: 1px solid silver; padding-left: 2px; }"));
    Reporter->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Reporter, &QTableWidget::cellDoubleClicked, this, &TFormReport::OpenDirClick);

    ReporterPopupMenu = new QMenu(Reporter);
    QAction* openItem = ReporterPopupMenu->addAction(QStringLiteral("Open directory"));
    openItem->setObjectName(QStringLiteral("OpenDirectory"));
    connect(openItem, &QAction::triggered, this, &TFormReport::OpenDirClick);
    connect(Reporter, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ReporterPopupMenu->popup(Reporter->viewport()->mapToGlobal(at));
    });

    OpenDir = new SkinButton(QStringLiteral("Open Directory"), this);
    OpenDir->setObjectName(QStringLiteral("OpenDir"));
    OpenDir->setGeometry(263, 232, 96, 29);
    connect(OpenDir, &QAbstractButton::clicked, this, &TFormReport::OpenDirClick);
    CloseButton = new SkinButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(367, 232, 56, 29);
    connect(CloseButton, &QAbstractButton::clicked, this, &TFormReport::CloseButtonClick);
    setTabOrder(Reporter, OpenDir);
    setTabOrder(OpenDir, CloseButton);
    setTabOrder(CloseButton, XP_ButtonSmall1);
    setTabOrder(XP_ButtonSmall1, XP_ButtonSmall3);
    setTabOrder(XP_ButtonSmall3, XP_ButtonSmall2);
}

QColor TFormReport::FailureColor() {
    return QColor(178, 34, 34);
}

void TFormReport::SetTitleList(const std::vector<std::string>& list) {
    titles_ = list;
}

void TFormReport::SetTargetFiles(const std::vector<copy::TEntryResult>& list) {
    targets_ = list;
}

void TFormReport::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void TFormReport::setVisible(bool visible) {
    if (const QWidget* main = parentWidget(); visible && !isVisible() && main != nullptr)
        app::CentreOver(this, main);
    QDialog::setVisible(visible);
}

void TFormReport::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormReport::FormShow() {
    const std::size_t entries = titles_.size();
    Reporter->clearContents();
    Reporter->setRowCount(static_cast<int>(entries));
    Reporter->setHorizontalHeaderLabels({QStringLiteral("Title"), QStringLiteral("Copy path")});
    Reporter->setColumnWidth(0, kTitleColumnWidth);
    for (std::size_t k = 0; k < entries; ++k) {
        const int row = static_cast<int>(k);
        const copy::TEntryResult outcome = k < targets_.size() ? targets_[k] : copy::TEntryResult();
        const bool failed = !copy::HasCopy(outcome.outcome);
        Reporter->setRowHeight(row, kRowHeight);
        Reporter->setItem(row, 0, Cell(titles_[k], failed));
        Reporter->setItem(row, 1, Cell(copy::ReportPathText(outcome), failed));
    }
    Reporter->scrollToTop();
    // Enter or Space closes the report, as a click on Close does.
    CloseButton->setFocus();
    app::SetRoundedOutline(this);
}

void TFormReport::OpenDirClick() {
    platform::Status opened = platform::Status::Ok();
    app::Guard("Button2Click:", [&]() -> platform::Status {
        if (!openFolder_)
            return platform::Status::Ok();
        // No entry names a copy: there is no folder to show.
        const auto folder = copy::FolderToOpen(targets_);
        if (!folder)
            return platform::Status::Ok();
        opened = openFolder_(*folder);
        return opened;
    });
    // Without a file browser the click would otherwise show nothing at all.
    if (!opened && tell_)
        tell_(this, copy::NoticeText(opened.message()));
}

void TFormReport::CloseButtonClick() {
    close();
}

void TFormReport::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (Reporter->isVisible())
        app::RepaintWhole(Reporter);
}
