#pragma once

// The options window: which columns of the track table are shown (acting on the table at once),
// and the two switches, which reach the main window only through "Save".

#include "gui/skin/SkinPicture.h"

#include <QDialog>
#include <QUrl>

class FlatCheckBox;
class FlatCheckListBox;
class QTableView;
class SkinButton;
class TXP_GroupBox;
class TitleBarButton;

class TFormOption : public QDialog {
    Q_OBJECT

public:
    // songGrid: the main window's track table, whose headings and widths the column list shows
    // and sets. webSite: what the web button opens.
    TFormOption(QTableView* songGrid, QUrl webSite, QWidget* parent = nullptr);

    // Handed over by the main window before each showing.
    bool DBClickPlaySong = false;
    bool OverWriteExistFile = false;

    // Controls, named as in the window's design.
    TXP_GroupBox* XP_GroupBox1 = nullptr;
    FlatCheckListBox* ColumnCheckList = nullptr;
    TXP_GroupBox* XP_GroupBox2 = nullptr;
    FlatCheckBox* PlaySong = nullptr;
    FlatCheckBox* OverWrite = nullptr;
    SkinButton* XP_Button2 = nullptr; // "Restore Default"
    SkinButton* OpenDir = nullptr;    // "Save"
    SkinButton* XP_Button1 = nullptr; // "Cancel"
    TitleBarButton* OptionMinimizeButton = nullptr;
    TitleBarButton* OptionCloseButton = nullptr;
    TitleBarButton* OptionWebButton = nullptr;

    // The frame: the title strip (with the window's top line) and the bottom strip; between them
    // the two one-pixel side borders.
    static constexpr int kTitleHeight = 31;
    static constexpr int kBottomHeight = 12;

signals:
    // "Save": the two check boxes, for the main window.
    void SettingsSaved(bool dbClickPlaySong, bool overWriteExistFile);

protected:
    // Every showing places the window first, before its first one makes its native window.
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Hands the window to the system, which moves it with the mouse until the button is up.
    virtual void StartDrag();

private:
    void BuildControls();
    void FormShow();
    void ColumnCheckListClickCheck();
    void OpenDirClick();
    void XP_Button2Click();
    void OptionMinimizeButtonClick();
    bool IsDragArea(QPoint at) const;

    QTableView* songGrid_;
    QUrl webSite_;
    struct Frame {
        skin::Picture titleStrip, titleCornerLeft, titleCornerRight, sideBorder, bottomCapLeft,
            bottomCapRight, bottomStrip;
    } frame_;
};
