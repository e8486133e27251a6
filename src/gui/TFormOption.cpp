#include "gui/TFormOption.h"

#include "core/base/Guard.h"
#include "core/copy/NameLayout.h"
#include "core/settings/OptionRules.h"
#include "gui/WindowChrome.h"
#include "gui/skin/FlatCheckBox.h"
#include "gui/skin/FlatCheckListBox.h"
#include "gui/skin/FlatComboBox.h"
#include "gui/skin/SkinFonts.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/TXP_GroupBox.h"
#include "gui/skin/TitleBarButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <string>
#include <vector>

namespace {

const QColor kBackground(219, 219, 229);
// The copy's choices take a band of their own below the two groups.
constexpr int kLayoutBand = 112;
constexpr int kWidth = 413;
constexpr int kHeight = 341 + kLayoutBand;

FlatCheckBox* CheckBox(const QString& caption, QWidget* parent, const QRect& geometry) {
    auto* box = new FlatCheckBox(caption, parent);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TFormOption::TFormOption(QTableView* songGrid, QWidget* parent)
    : QDialog(parent), songGrid_(songGrid) {
    BuildControls();
}

void TFormOption::BuildFrame() {
    app::FillBackground(this, kBackground);
    app::SetRoundedOutline(this);
    app::FollowShownPosition(this);

    Dragger = new app::WindowDragger(this);
    Dragger->AddArea(this);
    // The light dialog's frame; the top line runs under the corners. The two side borders start
    // no drag.
    const app::FramePiece frame[] = {
        {"TopLine", "side_border", {0, 0, 413, 1}, true},
        {"TitleStrip", "dialog_title_strip", {0, 1, 413, 30}, true},
        {"TitleCornerLeft", "dialog_title_corner_left", {0, 0, 9, 30}, true},
        {"TitleCornerRight", "dialog_title_corner_right", {404, 0, 9, 30}, true},
        {"SideBorderLeft", "dialog_side_border", {0, 31, 1, kHeight - 43}, false},
        {"SideBorderRight", "dialog_side_border", {412, 31, 1, kHeight - 43}, false},
        {"BottomCapLeft", "dialog_bottom_cap_left", {0, kHeight - 12, 13, 12}, true},
        {"BottomStrip", "dialog_bottom_strip", {13, kHeight - 12, 387, 12}, true},
        {"BottomCapRight", "dialog_bottom_cap_right", {400, kHeight - 12, 13, 12}, true},
    };
    app::AddFrame(this, Dragger, frame);

    app::AddCaption(this, Dragger, {16, 1, 293, 29});
}

void TFormOption::BuildControls() {
    setObjectName(QStringLiteral("FormOption"));
    setWindowTitle(QStringLiteral("Options Setting"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(kWidth, kHeight);
    BuildFrame();

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
    SkipCopied =
        CheckBox(QStringLiteral("Skip tracks already copied."), XP_GroupBox2, {24, 102, 177, 17});
    WriteLists = CheckBox(QStringLiteral("Write playlists."), XP_GroupBox2, {24, 132, 153, 17});

    LayoutGroup = new TXP_GroupBox(QStringLiteral("Copy Layout"), this);
    LayoutGroup->setGeometry(16, 256, 361, 104);
    LayoutBox = new FlatComboBox(LayoutGroup);
    LayoutBox->setObjectName(QStringLiteral("LayoutBox"));
    LayoutBox->setEditable(true);
    LayoutBox->setInsertPolicy(QComboBox::NoInsert);
    LayoutBox->setGeometry(16, 24, 329, 21);
    LayoutBox->setAccessibleName(LayoutGroup->title());
    LayoutBox->lineEdit()->setAccessibleName(LayoutGroup->title());
    for (const char* layout : copy::kReadyLayouts)
        LayoutBox->addItem(QString::fromLatin1(layout));
    connect(LayoutBox, &QComboBox::editTextChanged, this, &TFormOption::ShowPreview);
    LayoutPreview = new QLabel(LayoutGroup);
    LayoutPreview->setObjectName(QStringLiteral("LayoutPreview"));
    LayoutPreview->setGeometry(16, 50, 329, 46);
    LayoutPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LayoutPreview->setFont(skin::ControlFont());
    LayoutPreview->setTextFormat(Qt::PlainText);

    // A group box hands the presses it does not use to the window, which would move with them.
    for (TXP_GroupBox* group : {XP_GroupBox1, XP_GroupBox2, LayoutGroup})
        group->setAttribute(Qt::WA_NoMousePropagation);

    auto button = [&](const char* caption, const QRect& geometry) {
        auto* made = new SkinButton(QString::fromLatin1(caption), this);
        made->setGeometry(geometry);
        return made;
    };
    XP_Button2 = button("Restore Default", {64, 277 + kLayoutBand, 105, 29});
    OpenDir = button("Save", {184, 277 + kLayoutBand, 96, 29});
    XP_Button1 = button("Cancel", {296, 277 + kLayoutBand, 96, 29});
    connect(XP_Button2, &QAbstractButton::clicked, this, &TFormOption::XP_Button2Click);
    connect(OpenDir, &QAbstractButton::clicked, this, &TFormOption::OpenDirClick);
    connect(XP_Button1, &QAbstractButton::clicked, this, &QDialog::reject);

    const app::TitleButtons title = app::AddTitleButtons(this, 317, 6);
    OptionMinimizeButton = title.minimize;
    OptionCloseButton = title.close;
    OptionWebButton = title.web;
    OptionMinimizeButton->setObjectName(QStringLiteral("OptionMinimizeButton"));
    OptionCloseButton->setObjectName(QStringLiteral("OptionCloseButton"));
    OptionWebButton->setObjectName(QStringLiteral("OptionWebButton"));
    connect(OptionCloseButton, &QAbstractButton::clicked, this, &QDialog::reject);
}

void TFormOption::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // Over the main window, but never off the screen that window is on.
        if (const QWidget* owner = parentWidget(); owner != nullptr)
            app::CentreOver(this, owner->window());
        else
            app::CentreOnScreen(this);
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
        SkipCopied->setChecked(SkipExisting);
        WriteLists->setChecked(WritePlaylists);
        LayoutBox->setEditText(QString::fromStdString(CopyLayout));
        ShowPreview();
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
    QString layout = LayoutBox->currentText().trimmed();
    if (!copy::CheckLayout(layout.toStdString()))
        layout = QString::fromStdString(CopyLayout);
    emit CopyChoicesSaved(layout, SkipCopied->isChecked(), WriteLists->isChecked());
    accept();
}

// Three names from the loaded player under the layout as typed, or why it cannot be used.
void TFormOption::ShowPreview() {
    const std::string layout = LayoutBox->currentText().trimmed().toStdString();
    QPalette palette = LayoutPreview->palette();
    if (const auto usable = copy::CheckLayout(layout); !usable) {
        palette.setColor(QPalette::WindowText, QColor(178, 34, 34));
        LayoutPreview->setPalette(palette);
        LayoutPreview->setText(QString::fromStdString(usable.message()));
        LayoutPreview->setWordWrap(true);
        return;
    }
    palette.setColor(QPalette::WindowText, QColor(64, 64, 64));
    LayoutPreview->setPalette(palette);
    LayoutPreview->setWordWrap(false);
    const std::vector<std::string> names =
        PreviewNames ? PreviewNames(layout) : std::vector<std::string>();
    QStringList lines;
    for (const std::string& name : names)
        lines << LayoutPreview->fontMetrics().elidedText(QString::fromStdString(name),
                                                         Qt::ElideMiddle, LayoutPreview->width());
    LayoutPreview->setText(lines.isEmpty()
                               ? QStringLiteral("(the names show once a player is loaded)")
                               : lines.join(u'\n'));
}

void TFormOption::XP_Button2Click() {
    // Only the columns act at once; the switches wait for "Save" like any other change.
    OverWrite->setChecked(settings::kDefaultOverWriteExistFile);
    PlaySong->setChecked(settings::kDefaultDBClickPlaySong);
    SkipCopied->setChecked(false);
    WriteLists->setChecked(false);
    LayoutBox->setEditText(QString::fromLatin1(copy::kFlatLayout));
    for (int item = 0; item < ColumnCheckList->count(); ++item)
        ColumnCheckList->setChecked(item, true);
    ColumnCheckListClickCheck();
}
