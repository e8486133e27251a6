#pragma once

#include "core/copy/CopyJob.h"
#include "platform/Status.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QMenu;
class QTableWidget;
class SkinButton;
class TitleBarButton;

namespace app {
class WindowDragger;
}

// The report of a copy job: per entry its title and the path of its copy or why there is none.
// It keeps its own copy of what it is given; every showing fills the grid afresh.
class TFormReport : public QDialog {
    Q_OBJECT
public:
    using FolderOpener = std::function<platform::Status(const std::string& folder)>;
    using Teller = std::function<void(QWidget* parent, const std::string& text)>;

    // A folder that cannot be opened is logged and, with a teller, told to the user.
    TFormReport(QWidget* mainWindow, FolderOpener openFolder, Teller tell = {});

    void SetTitleList(const std::vector<std::string>& list);
    // What became of each entry, in the order of the titles.
    void SetTargetFiles(const std::vector<copy::TEntryResult>& list);
    // Modal to the whole program; returns at once. Closing the window emits finished.
    void ShowModal();

    // Opens the folder of the first entry that names a copy.
    void OpenDirClick();
    void CloseButtonClick();

    // Controls, named as in the window's design.
    QTableWidget* Reporter = nullptr;
    QMenu* ReporterPopupMenu = nullptr;
    SkinButton* OpenDir = nullptr;
    SkinButton* CloseButton = nullptr;
    TitleBarButton* XP_ButtonSmall1 = nullptr; // minimise
    TitleBarButton* XP_ButtonSmall3 = nullptr; // close
    TitleBarButton* XP_ButtonSmall2 = nullptr; // web site
    // Moves the window by its background and frame.
    app::WindowDragger* Dragger = nullptr;

    // The colour of a row whose entry was not copied.
    static QColor FailureColor();

protected:
    // Every showing places the window first, before its first one makes its native window.
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    // After a move the grid paints afresh at its new place.
    void moveEvent(QMoveEvent* event) override;

private:
    void FormShow();

    FolderOpener openFolder_;
    Teller tell_;
    std::vector<std::string> titles_;
    std::vector<copy::TEntryResult> targets_;
};
