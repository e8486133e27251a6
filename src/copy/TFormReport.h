#pragma once

#include "platform/Status.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

// The report of a copy job: per entry its title and the path of its copy or why there is none.
// It refers to the job's lists, which its owner keeps alive while it is shown; every showing
// fills the grid afresh.
class TFormReport : public QDialog {
    Q_OBJECT
public:
    using FolderOpener = std::function<platform::Status(const std::string& folder)>;

    TFormReport(QWidget* mainWindow, FolderOpener openFolder);

    void SetTitleList(const std::vector<std::string>& list);
    void SetTargetFiles(const std::vector<std::string>& list);
    // Modal to the whole program; returns at once. Closing the window emits finished.
    void ShowModal();

    // Opens the folder of the first entry that names a copy.
    void OpenDirClick();
    void CloseButtonClick();

    // Controls, named as in the window's design.
    QTableWidget* Reporter = nullptr;
    QMenu* ReporterPopupMenu = nullptr;
    QPushButton* OpenDir = nullptr;
    QPushButton* CloseButton = nullptr;
    QToolButton* XP_ButtonSmall1 = nullptr; // minimise
    QToolButton* XP_ButtonSmall3 = nullptr; // close
    QToolButton* XP_ButtonSmall2 = nullptr; // web site

    // The colour of a row whose entry was not copied.
    static QColor FailureColor();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FormShow();

    FolderOpener openFolder_;
    const std::vector<std::string>* titles_ = nullptr;
    const std::vector<std::string>* targets_ = nullptr;
};
