#include "gui/TFormOption.h"

#include "core/base/Guard.h"
#include "gui/WindowChrome.h"
#include "core/base/WindowPlacement.h"
#include "gui/skin/FlatCheckBox.h"
#include "gui/skin/FlatCheckListBox.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/SkinFonts.h"
#include "gui/skin/TXP_GroupBox.h"
#include "gui/skin/TitleBarButton.h"
#include "core/settings/OptionRules.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTableView>
#include <QWindow>

#include <string>
#include <vector>

namespace {

const QColor kBackground(219, 219, 229);
const QColor kOutline(16, 17, 23);
const QColor kCaption(245, 255, 91);

app::WindowBox BoxOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

FlatCheckBox* CheckBox(const QString& caption, QWidget* parent, const QRect& geometry) {
    auto* box = new FlatCheckBox(caption, parent);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TFormOption::TFormOption(QTableView* songGrid, QUrl webSite, QWidget* parent)
    : QDialog(parent), songGrid_(songGrid), webSite_(std::move(webSite)) {
    frame_ = {skin::Picture::Load(QStringLiteral("dialog_title_strip")),
              skin::Picture::Load(QStringLiteral("dialog_title_corner_left")),
              skin::Picture::Load(QStringLiteral("dialog_title_corner_right")),
              skin::Picture::Load(QStringLiteral("dialog_side_border")),
              skin::Picture::Load(QStringLiteral("dialog_bottom_cap_left")),
              skin::Picture::Load(QStringLiteral("dialog_bottom_cap_right")),
              skin::Picture::Load(QStringLiteral("dialog_bottom_strip"))};
    BuildControls();
}

void TFormOption::BuildControls() {
    setObjectName(QStringLiteral("FormOption"));
    setWindowTitle(QStringLiteral("Options Setting"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(413, 341);
    // The rounded outline: a corner ellipse of 25 x 25.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), 12.5, 12.5);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
    app::FollowShownPosition(this);

    XP_GroupBox1 = new TXP_GroupBox(QStringLiteral("Colums Display"), this);
    XP_GroupBox1->setGeometry(16, 48, 137, 201);
    ColumnCheckList = new FlatCheckListBox(XP_GroupBox1);
    ColumnCheckList->setObjectName(QStringLiteral("ColumnCheckList"));
    ColumnCheckList->setGeometry(16, 24, 105, 161);
    ColumnCheckList->setItemHeight(13);
    ColumnCheckList->setBackgroundColor(kBackground);
    ColumnCheckList->setBorderColor(QColor(224, 224, 224));
    ColumnCheckList->setAccessibleName(XP_GroupBox1->title());
    connect(ColumnCheckList, &FlatCheckListBox::clickCheck, this,
            &TFormOption::ColumnCheckListClickCheck);

    XP_GroupBox2 = new TXP_GroupBox(QStringLiteral("General Options"), this);
    XP_GroupBox2->setGeometry(160, 48, 217, 201);
    PlaySong =
        CheckBox(QStringLiteral("Double Click to Play Song."), XP_GroupBox2, {24, 42, 153, 17});
    OverWrite =
        CheckBox(QStringLiteral("Always Overwrite Exist File."), XP_GroupBox2, {24, 72, 169, 17});

    auto button = [&](const char* caption, const QRect& geometry) {
        auto* made = new SkinButton(QString::fromLatin1(caption), this);
        made->setGeometry(geometry);
        return made;
    };
    XP_Button2 = button("Restore Default", {64, 277, 105, 29});
    OpenDir = button("Save", {184, 277, 96, 29});
    XP_Button1 = button("Cancel", {296, 277, 96, 29});
    connect(XP_Button2, &QAbstractButton::clicked, this, &TFormOption::XP_Button2Click);
    connect(OpenDir, &QAbstractButton::clicked, this, &TFormOption::OpenDirClick);
    connect(XP_Button1, &QAbstractButton::clicked, this, &QDialog::reject);

    auto titleButton = [&](TitleBarButton::Kind kind, int left) {
        auto* made = new TitleBarButton(kind, this);
        made->move(left, 6);
        return made;
    };
    OptionMinimizeButton = titleButton(TitleBarButton::Kind::Minimize, 317);
    OptionCloseButton = titleButton(TitleBarButton::Kind::Close, 341);
    OptionWebButton = titleButton(TitleBarButton::Kind::Web, 365);
    connect(OptionMinimizeButton, &QAbstractButton::clicked, this, &app::MinimizeApplication);
    connect(OptionCloseButton, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(OptionWebButton, &QAbstractButton::clicked, this,
            [this] { QDesktopServices::openUrl(webSite_); });
}

void TFormOption::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // Over the main window, but never off the screen that window is on.
        const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        const QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
        const QRect area = screen->availableGeometry();
        const app::WindowBox placed = app::CentredOver(
            BoxOf(owner != nullptr ? owner->geometry() : area), width(), height(), BoxOf(area));
        move(placed.left, placed.top);
    }
    QDialog::setVisible(visible);
}

void TFormOption::showEvent(QShowEvent* event) {
    // Each showing starts afresh from the table and the values handed over.
    FormShow();
    QDialog::showEvent(event);
}

void TFormOption::FormShow() {
    app::Guard("AdvStringGridFileTypeClick:", [&] {
        ColumnCheckList->clear();
        const QAbstractItemModel* model = songGrid_->model();
        std::vector<std::string> headings;
        std::vector<int> widths;
        for (int column = 0; column < model->columnCount(); ++column) {
            headings.push_back(model->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                   .toString()
                                   .toStdString());
            widths.push_back(songGrid_->columnWidth(column));
        }
        for (const settings::ColumnItem& item : settings::ColumnItems(headings, widths))
            ColumnCheckList->addCheckItem(QString::fromStdString(item.text), item.checked);
        OverWrite->setChecked(OverWriteExistFile);
        PlaySong->setChecked(DBClickPlaySong);
        XP_Button1->setFocus();
    });
}

void TFormOption::ColumnCheckListClickCheck() {
    app::Guard("MarlCheckListBoxColsClickCheck:", [&] {
        std::vector<bool> checked;
        for (int item = 0; item < ColumnCheckList->count(); ++item)
            checked.push_back(ColumnCheckList->isChecked(item));
        for (const settings::ColumnWidth& column : settings::AppliedWidths(checked))
            songGrid_->setColumnWidth(column.column, column.width);
    });
}

void TFormOption::OpenDirClick() {
    emit SettingsSaved(PlaySong->isChecked(), OverWrite->isChecked());
    accept();
}

void TFormOption::XP_Button2Click() {
    // Only the columns act at once; the switches wait for "Save" like any other change.
    OverWrite->setChecked(settings::kDefaultOverWriteExistFile);
    PlaySong->setChecked(settings::kDefaultDBClickPlaySong);
    for (int item = 0; item < ColumnCheckList->count(); ++item)
        ColumnCheckList->setChecked(item, true);
    ColumnCheckListClickCheck();
}

void TFormOption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int scale = skin::PaintScale(this);
    auto stretch = [&](const skin::Picture& picture, const QRect& where) {
        painter.drawImage(where, picture.At(scale));
    };
    auto put = [&](const skin::Picture& picture, int left, int top) {
        stretch(picture, QRect(QPoint(left, top), picture.size()));
    };
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), kBackground);
    // The corners draw the outline's top line; between them it is this row.
    painter.fillRect(QRect(0, 0, w, 1), kOutline);
    stretch(frame_.titleStrip, QRect(0, 1, w, kTitleHeight - 1));
    put(frame_.titleCornerLeft, 0, 0);
    put(frame_.titleCornerRight, w - frame_.titleCornerRight.size().width(), 0);
    const QRect sides(0, kTitleHeight, w, h - kTitleHeight - kBottomHeight);
    stretch(frame_.sideBorder, QRect(sides.left(), sides.top(), 1, sides.height()));
    stretch(frame_.sideBorder, QRect(sides.right(), sides.top(), 1, sides.height()));
    const int capWidth = frame_.bottomCapLeft.size().width();
    put(frame_.bottomCapLeft, 0, h - kBottomHeight);
    put(frame_.bottomCapRight, w - capWidth, h - kBottomHeight);
    stretch(frame_.bottomStrip,
            QRect(capWidth, h - kBottomHeight, w - 2 * capWidth, kBottomHeight));

    painter.setFont(skin::ButtonFont());
    painter.setPen(kCaption);
    painter.drawText(QRect(16, 1, OptionMinimizeButton->x() - 24, kTitleHeight - 2),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, windowTitle());
}

bool TFormOption::IsDragArea(QPoint at) const {
    // The background and the frame move the window, but not the controls or the side borders.
    if (childAt(at) != nullptr)
        return false;
    const bool sideBorder = (at.x() == 0 || at.x() == width() - 1) && at.y() >= kTitleHeight &&
                            at.y() < height() - kBottomHeight;
    return !sideBorder;
}

void TFormOption::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && IsDragArea(event->position().toPoint()))
        StartDrag();
    QDialog::mousePressEvent(event);
}

void TFormOption::StartDrag() {
    if (windowHandle() != nullptr)
        windowHandle()->startSystemMove();
}
