#pragma once

// The options window: which columns of the track table are shown (acting on the table at once),
// and the two switches, which reach the main window only through "Save".

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class FlatCheckBox;
class FlatCheckListBox;
class FlatComboBox;
class QLabel;
class QTableView;
class SkinButton;
class TXP_GroupBox;
class TitleBarButton;

namespace app {
class WindowDragger;
}

class TFormOption : public QDialog {
    Q_OBJECT

public:
    // songGrid: the main window's track table, whose headings and widths the column list shows
    // and sets.
    explicit TFormOption(QTableView* songGrid, QWidget* parent = nullptr);

    // Handed over by the main window before each showing.
    bool DBClickPlaySong = false;
    bool OverWriteExistFile = false;
    std::string CopyLayout = "{title}";
    bool SkipExisting = false;
    bool WritePlaylists = false;
    // The names the first tracks of the loaded player get under a layout, for the preview.
    std::function<std::vector<std::string>(const std::string& layout)> PreviewNames;

    // Controls, named as in the window's design.
    TXP_GroupBox* XP_GroupBox1 = nullptr;
    FlatCheckListBox* ColumnCheckList = nullptr;
    TXP_GroupBox* XP_GroupBox2 = nullptr;
    FlatCheckBox* PlaySong = nullptr;
    FlatCheckBox* OverWrite = nullptr;
    FlatCheckBox* SkipCopied = nullptr;
    FlatCheckBox* WriteLists = nullptr;
    TXP_GroupBox* LayoutGroup = nullptr;
    FlatComboBox* LayoutBox = nullptr; // editable, with the ready layouts
    QLabel* LayoutPreview = nullptr;
    SkinButton* XP_Button2 = nullptr; // "Restore Default"
    SkinButton* OpenDir = nullptr;    // "Save"
    SkinButton* XP_Button1 = nullptr; // "Cancel"
    TitleBarButton* OptionMinimizeButton = nullptr;
    TitleBarButton* OptionCloseButton = nullptr;
    TitleBarButton* OptionWebButton = nullptr;
    // Moves the window by its background and frame, but not by its side borders.
    app::WindowDragger* Dragger = nullptr;

signals:
    // "Save": the two check boxes, for the main window.
    void SettingsSaved(bool dbClickPlaySong, bool overWriteExistFile);
    // "Save": the copy's choices; a layout that cannot be used is not saved.
    void CopyChoicesSaved(const QString& layout, bool skipExisting, bool writePlaylists);

protected:
    // Every showing places the window first, before its first one makes its native window.
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildFrame();
    void BuildControls();
    void FormShow();
    void ColumnCheckListClickCheck();
    void OpenDirClick();
    void XP_Button2Click();
    void ShowPreview();

    QTableView* songGrid_;
};
