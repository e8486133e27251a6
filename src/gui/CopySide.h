#pragma once

#include "core/copy/CopyJob.h"
#include "core/copy/CopyMessages.h"
#include "platform/Status.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QTimer;
class QWidget;
class TCopyThread;
class TCopyHost;
class TFormReport;

namespace platform {
class CopyFiles;
}

// What the folder dialog of the Copy command is asked to show.
struct TFolderDialogRequest {
    std::string title;
    std::string fileName; // the name the first selected track's copy gets
    std::string filter;   // that track's extension alone
};

// What the copy side of the main window takes from its surroundings; tests replace these.
struct TCopyEnvironment {
    // The folder dialog: the path of the file the user named (in the folder of the copies), or
    // nothing when cancelled.
    std::function<std::optional<std::string>(QWidget* parent, const TFolderDialogRequest&)>
        askTargetFile;
    // A question with the answers Yes (true) and No.
    std::function<bool(QWidget* parent, const std::string& question)> askYesNo;
    // A notice with the one answer OK.
    std::function<void(QWidget* parent, const std::string& text)> tell;
    // Shows a folder in the system's file browser; a failure's message is told to the user.
    std::function<platform::Status(const std::string& folder)> openFolder;
    // The copy worker's file operations; nothing: the real file system.
    platform::CopyFiles* copyFiles = nullptr;

    static TCopyEnvironment System();
};

// The main window's side of a copy job: the Copy and Stop commands, a close during a job, the
// worker's messages and the report. The window owns one and delegates to it.
//
// The worker's messages reach the window's thread by blocking queued calls. The report is modal
// but runs in the window's own event loop; the worker waits inside CMProgressFinish until the
// report has been closed, and is joined after that call has returned.
class TCopySide {
public:
    TCopySide(TCopyHost& host, TCopyEnvironment environment);
    // A job still open is abandoned and waited for.
    ~TCopySide();
    TCopySide(const TCopySide&) = delete;
    TCopySide& operator=(const TCopySide&) = delete;

    void CopyoutSongClick();
    void StopCopyOutClick();
    // Ends a job still open without asking: its worker stops at its next block, removes its
    // partial file and is waited for. Before the window goes, while it can still take messages.
    void AbandonJob();
    // Whether the window may close now. During a job the user is asked first; a Yes abandons
    // the job and waits for the worker, which removes its partial file.
    bool QueryClose();

    void CMProgressPosition(int position);
    void CMProgressMax(int maximum);
    void CMProgressText(const std::string& text);
    void CMProgressFinish(int result);

    // The worker of the current or last job.
    TCopyThread* CopyThread() const { return worker_.get(); }
    // The current or last job, and what became of its entries once its worker has finished.
    const copy::TCopyRequest& Job() const { return job_; }
    const copy::TCopyResult& Result() const { return result_; }
    TFormReport* FormReport() const { return report_; }
    // From the start of a job until its report has been closed (or the job abandoned).
    bool JobOpen() const { return jobOpen_; }

private:
    class Bridge;

    bool Ask(const std::string& question);
    void Tell(const std::string& text);
    platform::CopyFiles& Files() const;
    void ReportClosed();
    void WritePlaylists();
    void WatchWorker();
    void EndWorker();
    void BackToIdle();

    TCopyHost& host_;
    TCopyEnvironment environment_;
    copy::TCopyRequest job_;
    copy::TCopyResult result_;
    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<TCopyThread> worker_;
    TFormReport* report_ = nullptr;
    QTimer* watch_ = nullptr;
    bool jobOpen_ = false;
    bool finishSeen_ = false;
    bool quitting_ = false;
    bool writePlaylists_ = false;
};
