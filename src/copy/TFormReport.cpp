#include "copy/TFormReport.h"

#include "app/Guard.h"
#include "app/WindowChrome.h"
#include "copy/ReportText.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QWindow>

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

TFormReport::TFormReport(QWidget* mainWindow, FolderOpener openFolder)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint),
      openFolder_(std::move(openFolder)) {
    setObjectName(QStringLiteral("FormReport"));
    setWindowTitle(QStringLiteral("Copy Report"));
    setFixedSize(431, 277);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(219, 219, 229));
    setPalette(palette);

    auto* caption = new QLabel(QStringLiteral("Copy Report"), this);
    caption->setGeometry(14, 6, 200, 18);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);

    XP_ButtonSmall1 = app::MakeTitleButton(this, QStringLiteral("XP_ButtonSmall1"),
                                           QStringLiteral("_"), QStringLiteral("Minimize"), 345, 6);
    XP_ButtonSmall3 = app::MakeTitleButton(this, QStringLiteral("XP_ButtonSmall3"),
                                           QStringLiteral("x"), QStringLiteral("Close"), 369, 6);
    XP_ButtonSmall2 = app::MakeTitleButton(this, QStringLiteral("XP_ButtonSmall2"),
                                           QStringLiteral("w"), QString(), 393, 6);
    connect(XP_ButtonSmall1, &QToolButton::clicked, this, &app::MinimizeApplication);
    connect(XP_ButtonSmall3, &QToolButton::clicked, this, &TFormReport::CloseButtonClick);
    connect(XP_ButtonSmall2, &QToolButton::clicked, this, &app::OpenMakerSite);

    Reporter = new QTableWidget(this);
    Reporter->setObjectName(QStringLiteral("Reporter"));
    Reporter->setGeometry(8, 32, 415, 200);
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

    OpenDir = new QPushButton(QStringLiteral("Open Directory"), this);
    OpenDir->setObjectName(QStringLiteral("OpenDir"));
    OpenDir->setGeometry(263, 240, 96, 29);
    connect(OpenDir, &QPushButton::clicked, this, &TFormReport::OpenDirClick);
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(367, 240, 56, 29);
    connect(CloseButton, &QPushButton::clicked, this, &TFormReport::CloseButtonClick);
}

QColor TFormReport::FailureColor() {
    return QColor(178, 34, 34);
}

void TFormReport::SetTitleList(const std::vector<std::string>& list) {
    titles_ = &list;
}

void TFormReport::SetTargetFiles(const std::vector<std::string>& list) {
    targets_ = &list;
}

void TFormReport::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void TFormReport::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormReport::FormShow() {
    const std::size_t entries = titles_ != nullptr ? titles_->size() : 0;
    Reporter->clearContents();
    Reporter->setRowCount(static_cast<int>(entries));
    if (const QWidget* main = parentWidget()) {
        const QRect at = main->geometry();
        move(at.left() + (at.width() - width()) / 2, at.top() + (at.height() - height()) / 2);
    }
    Reporter->setHorizontalHeaderLabels({QStringLiteral("Title"), QStringLiteral("Copy path")});
    Reporter->setColumnWidth(0, kTitleColumnWidth);
    for (std::size_t k = 0; k < entries; ++k) {
        const int row = static_cast<int>(k);
        const std::string outcome =
            targets_ != nullptr && k < targets_->size() ? (*targets_)[k] : std::string();
        const bool failed = copy::IsOutcomeText(outcome);
        Reporter->setRowHeight(row, kRowHeight);
        Reporter->setItem(row, 0, Cell((*titles_)[k], failed));
        Reporter->setItem(row, 1, Cell(copy::ReportPathText(outcome), failed));
    }
    Reporter->scrollToTop();
    app::SetRoundedOutline(this);
}

void TFormReport::OpenDirClick() {
    app::Guard("Button2Click:", [&]() -> platform::Status {
        if (targets_ == nullptr || !openFolder_)
            return platform::Status::Ok();
        // No entry names a copy: there is no folder to show.
        const auto folder = copy::FolderToOpen(*targets_);
        if (!folder)
            return platform::Status::Ok();
        return openFolder_(*folder);
    });
}

void TFormReport::CloseButtonClick() {
    close();
}

void TFormReport::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // An outline keeps the window apart from the main window's panels of the same colour.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 120, 140), 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
}

void TFormReport::mousePressEvent(QMouseEvent* event) {
    // The window has no system frame: its background moves it.
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr)
        windowHandle()->startSystemMove();
    QDialog::mousePressEvent(event);
}
