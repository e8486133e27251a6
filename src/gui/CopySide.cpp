#include "gui/CopySide.h"

#include "core/base/Guard.h"
#include "core/device/TiPod.h"
#include "gui/CopyHost.h"
#include "core/copy/CopyThread.h"
#include "core/copy/PlaylistFile.h"
#include "core/base/LogClass.h"
#include "gui/TFormReport.h"
#include "core/copy/TargetNames.h"
#include "gui/WindowChrome.h"
#include "core/copy/ReportText.h"
#include "platform/CopyFiles.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <condition_variable>
#include <mutex>

namespace {

// A worker that ended without its finish message is noticed this often.
constexpr int kWatchMilliseconds = 200;

void DeliverPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::optional<std::string> AskWithFileDialog(QWidget* parent, const TFolderDialogRequest& request,
                                             const std::string& startFolder) {
    QFileDialog dialog(parent, QString::fromStdString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The name only shows where the copies go: a taken one is no reason to ask.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QString filter = QString::fromStdString(request.filter);
    // Files of the same type show which names the folder already holds.
    dialog.setNameFilter(filter.isEmpty() ? QStringLiteral("*")
                                          : filter + QStringLiteral(" (*") + filter + u')');
    dialog.setDirectory(startFolder.empty()
                            ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                            : QString::fromStdString(startFolder));
    dialog.selectFile(QString::fromStdString(request.fileName));
    // Its own size can be taller than a small screen at a high scale, its buttons out of reach:
    // it is kept to the free area of the screen it opens on.
    if (const QScreen* screen = parent != nullptr ? parent->screen() : dialog.screen()) {
        const QSize area = screen->availableGeometry().size();
        dialog.setMaximumSize(area);
        dialog.resize(dialog.sizeHint().boundedTo(area));
    }
    app::KeepInFreeArea(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

} // namespace

// Hands each message of the worker to the window's thread and waits there until it has been
// handled; after the finish message it waits on until the window releases it (the report has
// been closed, or the job is being abandoned).
class TCopySide::Bridge final : public QObject, public TCopyMessages {
public:
    explicit Bridge(TCopyMessages& window) : window_(window) {}

    void CMProgressPosition(int position) override {
        Deliver([this, position] { window_.CMProgressPosition(position); });
    }
    void CMProgressMax(int maximum) override {
        Deliver([this, maximum] { window_.CMProgressMax(maximum); });
    }
    void CMProgressText(const std::string& text) override {
        Deliver([this, &text] { window_.CMProgressText(text); });
    }
    void CMProgressFinish(int result) override {
        Deliver([this, result] { window_.CMProgressFinish(result); });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return released_; });
    }

    void Arm() {
        std::lock_guard lock(mutex_);
        released_ = false;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }

private:
    template <typename F> void Deliver(F&& call) {
        QMetaObject::invokeMethod(this, std::forward<F>(call), Qt::BlockingQueuedConnection);
    }

    TCopyMessages& window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = true;
};

TCopyEnvironment TCopyEnvironment::System() {
    TCopyEnvironment environment;
    auto lastFolder = std::make_shared<std::string>();
    environment.askTargetFile = [lastFolder](QWidget* parent, const TFolderDialogRequest& request) {
        auto path = AskWithFileDialog(parent, request, *lastFolder);
        if (path)
            *lastFolder = copy::TargetFolderFromDialogPath(*path);
        return path;
    };
    environment.askYesNo = [](QWidget* parent, const std::string& question) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                        QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                        parent);
        return box.exec() == QMessageBox::Yes;
    };
    environment.tell = [](QWidget* parent, const std::string& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                        QString::fromStdString(text), QMessageBox::Ok, parent);
        box.exec();
    };
    environment.openFolder = [](const std::string& folder) {
        // Qt finds the desktop's file browser; when there is none, the user is told.
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder))))
            return platform::Status::Ok();
        return platform::Status::Error("No program could open the folder " + folder + ".");
    };
    return environment;
}

TCopySide::TCopySide(TCopyHost& host, TCopyEnvironment environment)
    : host_(host), environment_(std::move(environment)), bridge_(std::make_unique<Bridge>(host)) {
    report_ = new TFormReport(host_.HostWindow(), environment_.openFolder, environment_.tell);
    QObject::connect(report_, &QDialog::finished, report_, [this] { ReportClosed(); });
    watch_ = new QTimer(report_);
    watch_->setInterval(kWatchMilliseconds);
    QObject::connect(watch_, &QTimer::timeout, report_, [this] { WatchWorker(); });
}

TCopySide::~TCopySide() {
    AbandonJob();
    delete report_; // with it the connections to this object
}

bool TCopySide::Ask(const std::string& question) {
    // Without a way to ask, nothing is given up.
    return environment_.askYesNo && environment_.askYesNo(host_.HostWindow(), question);
}

void TCopySide::Tell(const std::string& text) {
    if (environment_.tell)
        environment_.tell(host_.HostWindow(), text);
}

platform::CopyFiles& TCopySide::Files() const {
    return environment_.copyFiles != nullptr ? *environment_.copyFiles
                                             : platform::SystemCopyFiles();
}

void TCopySide::CopyoutSongClick() {
    host_.SetProgress(0);
    app::Guard("CopyoutClick:", [&]() -> platform::Status {
        // One job at a time: a stopped job's worker runs on until its report.
        if (host_.Library().iPodPath.empty() || host_.IsCopying() || jobOpen_)
            return platform::Status::Ok();
        const std::vector<std::int32_t> proposed = host_.SelectedTracks();
        if (proposed.empty() || !environment_.askTargetFile)
            return platform::Status::Ok();
        const copy::DialogProposal proposal =
            copy::ProposeDialog(host_.Library(), proposed.front());
        const auto path = environment_.askTargetFile(
            host_.HostWindow(), {copy::kFolderDialogTitle, proposal.fileName, proposal.filter});
        if (!path)
            return platform::Status::Ok();
        const std::string folder = copy::TargetFolderFromDialogPath(*path);
        if (folder.empty())
            return platform::Status::Error("the dialog named no folder: " + *path);
        // Copies onto the player itself, or into a folder that takes no file, would only fail
        // one by one: the user hears why at once and no job starts.
        if (const auto usable = copy::CheckTargetFolder(Files(), folder, host_.Library().iPodPath);
            !usable) {
            Tell(copy::NoticeText(usable.message()));
            return platform::Status::Ok();
        }
        // While the dialog was open the player may have gone or the table been refilled: the
        // job takes the rows selected now.
        const std::vector<std::int32_t> tracks = host_.SelectedTracks();
        if (host_.Library().iPodPath.empty() || tracks.empty() || host_.IsCopying() || jobOpen_)
            return platform::Status::Ok();

        const TCopyChoices choices = host_.CopyChoices();
        job_ = copy::PlanJob(host_.Library(), tracks, folder, host_.OverwriteSetting(),
                             choices.layout);
        job_.skipExisting = choices.skipExisting;
        writePlaylists_ = choices.writePlaylists;
        result_ = copy::TCopyResult();
        host_.SetCopying(true);
        worker_.reset();
        worker_ = std::make_unique<TCopyThread>(*bridge_, Files());
        bridge_->Arm();
        finishSeen_ = false;
        quitting_ = false;
        if (auto started = worker_->Start(job_); !started) {
            BackToIdle();
            return started;
        }
        jobOpen_ = true;
        watch_->start();
        return platform::Status::Ok();
    });
}

void TCopySide::StopCopyOutClick() {
    if (!host_.IsCopying() || !jobOpen_)
        return;
    worker_->Pause();
    const bool stop = Ask("Stop copy file?");
    // The job may have ended while the question was open.
    if (stop && host_.IsCopying() && jobOpen_ && !finishSeen_) {
        worker_->SetStopCopy(true);
        host_.ShowCopyStatus(std::to_string(host_.Library().GetSongCount()) +
                             " Files found in your iPod.");
        host_.SetCopying(false);
        host_.SetProgress(0);
    }
    if (worker_)
        worker_->Resume();
}

bool TCopySide::QueryClose() {
    if (!jobOpen_)
        return true;
    if (host_.IsCopying() && !finishSeen_) {
        worker_->Pause();
        if (!Ask("Ignore copying file and quit?")) {
            worker_->Resume();
            return false;
        }
    }
    AbandonJob();
    return true;
}

// A stopped job that is still winding down shows nothing more of its progress.
void TCopySide::CMProgressPosition(int position) {
    if (quitting_ || !host_.IsCopying())
        return;
    // A position past the maximum shows a full bar.
    host_.SetProgress(position);
}

void TCopySide::CMProgressMax(int maximum) {
    if (quitting_ || !host_.IsCopying())
        return;
    host_.SetProgressMax(maximum);
}

void TCopySide::CMProgressText(const std::string& text) {
    if (quitting_ || !host_.IsCopying())
        return;
    host_.ShowCopyStatus(text);
    // A change of the setting applies from the next entry on.
    if (worker_)
        worker_->SetOverWriteExistFile(host_.OverwriteSetting());
}

void TCopySide::CMProgressFinish(int result) {
    if (quitting_ || finishSeen_)
        return;
    finishSeen_ = true;
    watch_->stop();
    const bool shown = app::Guard("CMProgressFinish:", [&] {
        // Nothing is deleted here: the worker has removed its own partial file, and a file
        // under a final name is either this job's complete copy or the user's own.
        if (result_.entries.empty()) // else filled in already by WatchWorker
            result_ = worker_->Result();
        // Tracks found already copied are no error, but the user should see they were skipped.
        const std::size_t there = result_.Count(copy::TCopyOutcome::AlreadyCopied);
        const std::string skipped =
            there == 0 ? std::string() : ", " + std::to_string(there) + " already copied ";
        if (result == copy::kCopyFinished)
            host_.ShowCopyStatus(there == 0 ? " Copy Finished " : " Copy Finished" + skipped);
        else if (result == copy::kCopyStopped)
            host_.ShowCopyStatus(there == 0 ? " Copy Terminated " : " Copy Terminated" + skipped);
        if (writePlaylists_)
            WritePlaylists();
        std::vector<std::string> titles;
        for (const copy::TCopyEntry& entry : job_.entries)
            titles.push_back(entry.title);
        report_->SetTitleList(titles);
        report_->SetTargetFiles(result_.entries);
        report_->ShowModal();
    });
    // Every job ends: without its report, the window still leaves its copying state, once the
    // worker has left this message.
    if (!shown)
        QTimer::singleShot(0, report_, [this] { ReportClosed(); });
}

// Beside the copies, before the report: a playlist that cannot be written is logged and told.
void TCopySide::WritePlaylists() {
    std::string failures;
    for (const copy::WrittenPlaylist& playlist :
         copy::WritePlaylists(host_.Library(), job_, result_))
        if (playlist.path.empty()) {
            app::TLogClass::WriteLog("WritePlaylists:" + playlist.failure);
            failures += (failures.empty() ? "" : "\n") + playlist.failure;
        }
    if (!failures.empty())
        Tell("Some playlists could not be written:\n" + failures);
}

void TCopySide::ReportClosed() {
    if (quitting_ || !jobOpen_)
        return;
    app::Guard("CMProgressFinish:", [&] {
        host_.SetProgress(0);
        host_.SetCopying(false);
        job_ = copy::TCopyRequest();
        result_ = copy::TCopyResult();
        host_.ShowCopyStatus(std::to_string(host_.PlayerCount()) + " iPod detected.");
    });
    EndWorker();
}

// A run that met an error ends without a finish message; its job still gets its report, the
// entries it never reached marked as failed.
void TCopySide::WatchWorker() {
    if (!jobOpen_ || finishSeen_ || quitting_ || !worker_->Ended())
        return;
    result_ = worker_->Result();
    for (copy::TEntryResult& entry : result_.entries)
        if (entry.outcome == copy::TCopyOutcome::Pending)
            entry = {copy::TCopyOutcome::Failed, {}, "the copy ended early (see the error log)"};
    CMProgressFinish(copy::kCopyStopped);
}

// After CMProgressFinish has returned: the worker only leaves its run.
void TCopySide::EndWorker() {
    watch_->stop();
    bridge_->Release();
    worker_->Join(DeliverPending);
    jobOpen_ = false;
}

void TCopySide::AbandonJob() {
    if (!jobOpen_)
        return;
    quitting_ = true;
    watch_->stop();
    report_->hide();
    bridge_->Release();
    worker_->Abandon();
    worker_->Join(DeliverPending);
    jobOpen_ = false;
}

void TCopySide::BackToIdle() {
    host_.SetCopying(false);
    job_ = copy::TCopyRequest();
}
