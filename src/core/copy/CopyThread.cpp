#include "core/copy/CopyThread.h"

#include "core/base/LogClass.h"
#include "core/copy/NamePlan.h"
#include "core/copy/TargetNames.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <system_error>

using namespace copy;

namespace {

constexpr int kMostTemporaryNames = 16;
constexpr int kMostRenames = 100;

// "(i/n) Copying NAME". Appended piece by piece: GCC 12 at -O3 sees a false overlap in
// "(" + std::string (-Wrestrict).
std::string CopyingText(std::size_t number, std::size_t count, std::string_view name) {
    std::string text = "(";
    text.append(std::to_string(number)).append("/").append(std::to_string(count));
    text.append(") Copying ").append(name);
    return text;
}

void Log(const std::string& message) {
    app::TLogClass::WriteLog("Execute:" + message);
}

// The folder holding path; a root is its own.
std::string ParentFolder(const std::string& path) {
    return TargetFolderFromDialogPath(path);
}

} // namespace

// By identity, not by spelling: a folder reached by a link or written in another letter case is
// on the player all the same. A folder not made yet is where its nearest existing parent is.
bool copy::TargetOnPlayer(platform::CopyFiles& files, const std::string& folder,
                          const std::string& playerRoot) {
    const auto player = playerRoot.empty() ? std::nullopt : files.Identity(playerRoot);
    if (!player)
        return false;
    std::string existing = folder;
    std::optional<platform::ResolvedPath> resolved;
    while (!(resolved = platform::ResolvePath(existing))) {
        const std::string parent = ParentFolder(existing);
        if (parent.empty() || parent == existing)
            return false;
        existing = parent;
    }
    for (std::string at = resolved->path;; at = ParentFolder(at)) {
        if (files.Identity(at) == player)
            return true;
        if (ParentFolder(at).empty() || ParentFolder(at) == at)
            return false;
    }
}

platform::Status copy::CheckTargetFolder(platform::CopyFiles& files, const std::string& folder,
                                         const std::string& playerRoot) {
    if (folder.empty())
        return platform::Status::Error("no target folder was given");
    if (TargetOnPlayer(files, folder, playerRoot))
        return platform::Status::Error("the target folder " + folder +
                                       " is on the player: choose a folder outside it");
    const auto resolved = platform::ResolvePath(folder);
    if (!resolved)
        return platform::Status::Error("the target folder " + folder + " does not exist");
    if (!resolved->isDirectory)
        return platform::Status::Error("the target " + folder + " is not a folder");
    auto opened = files.OpenFolder(folder);
    platform::Status written = opened.status();
    if (opened) {
        const std::string probe = TemporaryName();
        auto created = files.CreateTarget(**opened, probe);
        written = created.status();
        if (created) {
            (void)(*created)->Close();
            written = files.Remove(**opened, probe);
        }
    }
    if (!written)
        return platform::Status::Error("the target folder " + folder +
                                       " cannot be written: " + written.message());
    return platform::Status::Ok();
}

// A folder of the job's copies, opened when the run starts, and the names chosen in it.
struct TCopyThread::Place {
    std::string path;
    std::unique_ptr<platform::TargetFolder> folder; // none when it could not be opened
    std::string failure;                            // why not
    std::optional<TNamePlanner> planner;
    std::optional<std::uint64_t> room; // free bytes when last asked, less what was copied since
    std::size_t roomUses = 0;          // copies until the volume is asked again
};

struct TCopyThread::Entry {
    std::size_t index = 0;
    std::string source;
    Place* place = nullptr;
    std::string planned;   // the file name planned in the place's folder
    std::string name;      // the file name chosen; empty before
    std::string temporary; // empty while no temporary file exists
    bool replace = false;  // the name may replace a file that was there before the job
    std::string Path() const { return JoinTargetPath(place->path, name); }
    std::unique_ptr<platform::CopySource> in;
    std::unique_ptr<platform::CopyTarget> out;
    std::uint64_t size = 0;
    std::uint64_t done = 0;
    std::string failure; // why the entry failed; empty when it did not
    bool stopped = false;
};

TCopyThread::TCopyThread(TCopyMessages& messages, platform::CopyFiles& files)
    : messages_(messages), files_(files) {}

TCopyThread::~TCopyThread() {
    if (thread_.joinable()) {
        Abandon();
        Join();
    }
}

void TCopyThread::SetStopCopy(bool stop) {
    stopCopy_.store(stop);
}

void TCopyThread::SetOverWriteExistFile(bool overwrite) {
    overwrite_.store(overwrite);
}

platform::Status TCopyThread::Start(TCopyRequest request) {
    if (started_)
        return platform::Status::Error("the copy worker has been started before");
    try {
        buffer_.resize(kIoBytes);
        pending_.reserve(kMostPendingFiles);
        request_ = std::move(request);
        overwrite_.store(request_.overwrite);
        result_ = TCopyResult();
        result_.entries.resize(request_.entries.size());
        thread_ = std::thread([this] {
            Execute();
            {
                std::lock_guard lock(pauseMutex_);
                ended_.store(true);
            }
            endedChanged_.notify_all();
        });
    } catch (const std::exception& failure) {
        return platform::Status::Error(failure.what());
    }
    started_ = true;
    return platform::Status::Ok();
}

void TCopyThread::Pause() {
    std::lock_guard lock(pauseMutex_);
    pauseRequested_.store(true);
}

void TCopyThread::Resume() {
    {
        std::lock_guard lock(pauseMutex_);
        pauseRequested_.store(false);
    }
    pauseChanged_.notify_all();
}

void TCopyThread::Abandon() {
    {
        std::lock_guard lock(pauseMutex_);
        abandoned_.store(true);
        stopCopy_.store(true);
    }
    pauseChanged_.notify_all();
}

void TCopyThread::Join(const std::function<void()>& deliverPending) {
    if (!thread_.joinable())
        return;
    if (deliverPending) {
        std::unique_lock lock(pauseMutex_);
        while (!ended_.load()) {
            lock.unlock();
            deliverPending();
            lock.lock();
            endedChanged_.wait_for(lock, std::chrono::milliseconds(5));
        }
    }
    thread_.join();
}

std::string TCopyThread::CurrentTarget() const {
    std::lock_guard lock(targetMutex_);
    return currentTarget_;
}

void TCopyThread::SetCurrentTarget(const Entry& entry) {
    std::lock_guard lock(targetMutex_);
    currentTarget_ = entry.Path();
    currentEntry_ = entry.index;
}

// A copy named after a later entry was planned leaves CurrentTarget to that later one.
void TCopyThread::FollowRename(const Entry& entry) {
    std::lock_guard lock(targetMutex_);
    if (currentEntry_ == entry.index)
        currentTarget_ = entry.Path();
}

std::optional<std::string> TCopyThread::CreateNewOutputPathName(const std::string& path) {
    Place& place = PlaceOf(TargetFolderFromDialogPath(path));
    std::optional<std::string> name;
    if (place.planner)
        if (auto numbered = place.planner->Numbered(std::string(FileNamePart(path)), false))
            name = JoinTargetPath(place.path, *numbered);
    if (!name)
        app::TLogClass::WriteLog("CreateNewOutputPathName:no free numbered name for " + path);
    return name;
}

// Opened on first use, which for every folder of the job is before the first entry, and cleared
// of what killed runs left.
TCopyThread::Place& TCopyThread::PlaceOf(const std::string& folder) {
    for (auto& place : places_)
        if (place->path == folder)
            return *place;
    auto place = std::make_unique<Place>();
    place->path = folder;
    if (!InsideTarget(folder)) {
        place->failure = "the folder " + folder + " leads outside the target folder";
    } else if (auto opened = files_.OpenFolder(folder.empty() ? "." : folder)) {
        place->folder = std::move(*opened);
        auto removed = files_.RemoveLeftovers(*place->folder, kTemporaryPrefix, kTemporarySuffix);
        if (removed && *removed > 0) {
            result_.leftoversRemoved += *removed;
            Log("removed " + std::to_string(*removed) +
                " unfinished copies that an interrupted copy left in " + folder);
        }
        place->planner.emplace(files_, place->folder.get());
    } else {
        place->failure = "the folder " + folder + " cannot be opened: " + opened.message();
    }
    places_.push_back(std::move(place));
    return *places_.back();
}

// A folder of a layout below the target folder stays below it where it really is: a link
// planted in the target never leads copies elsewhere.
bool TCopyThread::InsideTarget(const std::string& folder) const {
    if (folder == request_.targetFolder || request_.targetFolder.empty())
        return true;
    const auto target = platform::ResolvePath(request_.targetFolder);
    const auto resolved = platform::ResolvePath(folder);
    return !resolved || !target || platform::IsWithin(resolved->path, target->path);
}

bool TCopyThread::PlayerGone() {
    return player_ && files_.Identity(request_.playerRoot) != player_;
}

bool TCopyThread::WaitWhilePaused() {
    if (pauseRequested_.load()) {
        std::unique_lock lock(pauseMutex_);
        parked_.store(true);
        pauseChanged_.wait(lock, [this] { return !pauseRequested_.load() || abandoned_.load(); });
        parked_.store(false);
    }
    return !abandoned_.load();
}

bool TCopyThread::SendPosition(int position) {
    if (!WaitWhilePaused())
        return false;
    messages_.CMProgressPosition(position);
    return true;
}

bool TCopyThread::SendMax() {
    if (!WaitWhilePaused())
        return false;
    messages_.CMProgressMax(kProgressMax);
    return true;
}

bool TCopyThread::SendText(const std::string& text) {
    if (!WaitWhilePaused())
        return false;
    messages_.CMProgressText(text);
    return true;
}

// The share of the job dealt with, never going back: copied bytes only grow, and the total only
// shrinks (by what will not be copied). Full only once the job is over.
void TCopyThread::UpdatePosition() {
    const std::uint64_t total = total_.load();
    const std::uint64_t copied = copied_.load();
    std::uint64_t position = 0;
    if (total > 0)
        position = copied >= total ? kProgressMax : copied * kProgressMax / total;
    position = std::min<std::uint64_t>(position, kProgressMax - 1);
    if (static_cast<int>(position) > lastPosition_) {
        lastPosition_ = static_cast<int>(position);
        SendPosition(lastPosition_);
    }
}

void TCopyThread::Forget(std::uint64_t bytes) {
    const std::uint64_t total = total_.load();
    total_.store(total > bytes ? total - bytes : 0);
    UpdatePosition();
}

void TCopyThread::Advance(std::uint64_t bytes) {
    copied_.fetch_add(bytes);
    UpdatePosition();
}

// However the run ended, no complete copy stays under a temporary name.
void TCopyThread::Execute() {
    for (void (TCopyThread::*step)() : {&TCopyThread::Run, &TCopyThread::SettlePending}) {
        try {
            (this->*step)();
        } catch (const std::exception& failure) {
            Log(failure.what());
        } catch (...) {
            Log("an unknown failure ended the copy");
        }
    }
}

void TCopyThread::Run() {
    const std::vector<TCopyEntry>& entries = request_.entries;
    if (!request_.playerRoot.empty())
        player_ = files_.Identity(request_.playerRoot);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string folder = TargetFolderFromDialogPath(request_.PlannedPath(i));
        // The folders of a layout are made as the job starts; one that cannot be says why
        // when it is opened.
        if (folder != request_.targetFolder && !platform::DirectoryExists(folder))
            (void)platform::CreateDirectories(folder);
        PlaceOf(folder);
    }
    std::vector<std::optional<std::uint64_t>> sizes(entries.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        sizes[i] = files_.FileSize(entries[i].source);
        total += sizes[i].value_or(0);
    }
    total_.store(total);
    copied_.store(0);
    lastPosition_ = 0;

    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (abandoned_.load())
            return;
        if (stopCopy_.load()) {
            result_.entries[i].outcome = TCopyOutcome::Stopped;
            continue;
        }
        CopyEntry(i, sizes[i]);
        if (pending_.size() >= kMostPendingFiles || pendingBytes_ >= kMostPendingBytes)
            HandOverPending();
    }
    SettlePending();
    if (abandoned_.load())
        return;
    const bool stopped = stopCopy_.load();
    if (!stopped && lastPosition_ < kProgressMax) {
        lastPosition_ = kProgressMax;
        if (!SendPosition(kProgressMax))
            return;
    }
    if (WaitWhilePaused())
        messages_.CMProgressFinish(stopped ? kCopyStopped : kCopyFinished);
}

void TCopyThread::CopyEntry(std::size_t index, std::optional<std::uint64_t> expectedSize) {
    const std::string planned = request_.PlannedPath(index);
    TEntryResult& result = result_.entries[index];
    Entry entry;
    entry.index = index;
    entry.source = request_.entries[index].source;
    entry.place = &PlaceOf(TargetFolderFromDialogPath(planned));
    entry.planned = std::string(FileNamePart(planned));
    entry.name = entry.planned;
    try {
        // Opened first: the size the job took stands until the open fails.
        auto opened = files_.OpenSource(entry.source);
        if (!opened || !entry.place->folder) {
            Forget(expectedSize.value_or(0));
            if (!opened && !files_.FileSize(entry.source)) {
                // A source the job found that has gone since: gone with the player, or missing.
                if (!entry.source.empty() && PlayerGone()) {
                    entry.failure = kPlayerGone;
                    EndEntry(entry);
                    return;
                }
                result.outcome = TCopyOutcome::SourceMissing;
                return;
            }
            if (!entry.place->folder)
                entry.failure = entry.place->failure;
            else
                entry.failure = PlayerGone() ? std::string(kPlayerGone)
                                             : "the source cannot be opened: " + opened.message();
            if (opened)
                (void)(*opened)->Close();
            EndEntry(entry);
            return;
        }
        entry.in = std::move(*opened);
        entry.size = entry.in->Size();
        if (expectedSize && entry.size < *expectedSize)
            Forget(*expectedSize - entry.size);

        if (request_.skipExisting && SkipCopied(entry))
            return;
        const bool overwrite = overwrite_.load();
        auto chosen = entry.place->planner->Choose(entry.planned, overwrite);
        if (!chosen) {
            entry.failure = "no free numbered name";
            EndEntry(entry);
            return;
        }
        entry.name = *chosen;
        entry.replace = overwrite;
        entry.place->planner->Claim(entry.name);
        SetCurrentTarget(entry);

        const bool refused = !HasRoom(*entry.place, entry.size);

        const std::string status = CopyingText(index + 1, request_.entries.size(), entry.name);
        if (!SendText(status) || !SendMax())
            return EndEntry(entry);
        if (refused) {
            Forget(entry.size);
            result.outcome = TCopyOutcome::NoRoom;
        } else if (CopyBlocks(entry)) {
            (void)entry.in->Close();
            entry.in.reset();
            pendingBytes_ += entry.size;
            pending_.push_back(std::move(entry));
            return;
        }
    } catch (const std::exception& failure) {
        entry.failure = failure.what();
    }
    EndEntry(entry);
}

// The volume is asked once a batch, and again whenever the count falls short, so a refusal
// always rests on its own answer. One that cannot tell is tried; a failure is reported as any.
bool TCopyThread::HasRoom(Place& place, std::uint64_t size) {
    if (!place.room || size > *place.room || place.roomUses == 0) {
        const auto free = files_.FreeSpace(*place.folder);
        place.room = free.ok() ? std::optional<std::uint64_t>(*free) : std::nullopt;
        place.roomUses = kMostPendingFiles;
    }
    --place.roomUses;
    if (!place.room)
        return true;
    if (size > *place.room)
        return false;
    *place.room -= size;
    return true;
}

// The copy of an earlier run is found under the planned name or a numbered variant of it, as
// that run chose, and taken for this entry's own.
bool TCopyThread::SkipCopied(Entry& entry) {
    const auto same = entry.place->planner->FindSame(entry.planned, [&](const std::string& name) {
        return HoldsSame(JoinTargetPath(entry.place->path, name), entry);
    });
    if (!same)
        return false;
    entry.place->planner->Claim(*same);
    TEntryResult& result = result_.entries[entry.index];
    result.outcome = TCopyOutcome::AlreadyCopied;
    result.path = JoinTargetPath(entry.place->path, *same);
    Advance(entry.size);
    EndEntry(entry);
    return true;
}

// Sizes first; only a file of the same size is read, beside the source, to the end.
bool TCopyThread::HoldsSame(const std::string& path, const Entry& entry) {
    const auto size = files_.FileSize(path);
    if (!size || *size != entry.size)
        return false;
    auto there = files_.OpenSource(path);
    auto source = files_.OpenSource(entry.source);
    if (!there || !source)
        return false;
    std::vector<std::uint8_t> theirs(kIoBytes);
    bool same = true;
    while (same && !stopCopy_.load()) {
        auto got = (*source)->Read(buffer_.data(), buffer_.size());
        if (!got) {
            same = false;
            break;
        }
        std::size_t have = 0;
        while (have < *got) {
            auto more = (*there)->Read(theirs.data() + have, *got - have);
            if (!more || *more == 0)
                break;
            have += *more;
        }
        same = have == *got && std::equal(buffer_.begin(), buffer_.begin() + *got, theirs.begin());
        if (*got == 0)
            break;
    }
    (void)(*there)->Close();
    (void)(*source)->Close();
    return same && !stopCopy_.load();
}

bool TCopyThread::CopyBlocks(Entry& entry) {
    platform::TargetFolder& folder = *entry.place->folder;
    // A name taken meanwhile (by another job's file, or by its cleanup) is tried afresh; a
    // folder that takes no file fails every try alike.
    std::string failure;
    for (int attempt = 0; attempt < kMostTemporaryNames && !entry.out; ++attempt) {
        const std::string temporary = TemporaryName();
        auto created = files_.CreateTarget(folder, temporary);
        if (created) {
            entry.temporary = temporary;
            entry.out = std::move(*created);
        } else if (failure = created.message(); !files_.FolderPresent(folder)) {
            break;
        }
    }
    if (!entry.out) {
        entry.failure = "the copy cannot be created: " + failure;
        return false;
    }
    // Inside the system while it can, through the buffer from then on.
    bool moving = true;
    for (;;) {
        if (!AtBlockBoundary(entry))
            return false;
        std::size_t piece = 0;
        if (moving) {
            const auto moved = entry.out->MoveFrom(*entry.in, kIoBytes);
            moving = moved.has_value();
            piece = moved.value_or(0);
        }
        if (!moving) {
            auto got = entry.in->Read(buffer_.data(), buffer_.size());
            if (!got) {
                entry.failure = PlayerGone() ? std::string(kPlayerGone)
                                             : "the source cannot be read: " + got.message();
                return false;
            }
            if (*got == 0)
                break;
            if (auto written = entry.out->Write(buffer_.data(), *got); !written) {
                entry.failure = "the copy cannot be written: " + written.message();
                return false;
            }
            piece = *got;
        }
        for (std::size_t at = 0; at < piece; at += kBlockBytes) {
            if (at > 0 && !AtBlockBoundary(entry))
                return false;
            const std::size_t block = std::min(kBlockBytes, piece - at);
            entry.done += block;
            Advance(block);
        }
    }
    if (entry.done < entry.size) {
        entry.failure = PlayerGone() ? std::string(kPlayerGone)
                                     : "the source ended after " + std::to_string(entry.done) +
                                           " of " + std::to_string(entry.size) + " bytes";
        return false;
    }
    return true;
}

// Where a pause parks the worker and a stop cuts the entry.
bool TCopyThread::AtBlockBoundary(Entry& entry) {
    if (!WaitWhilePaused())
        return false;
    if (stopCopy_.load()) {
        entry.stopped = true;
        return false;
    }
    return true;
}

// Every complete copy flushed and named, in job order.
void TCopyThread::SettlePending() {
    HandOverPending();
    NameFlushed();
}

// The batch before is named; the waiting copies go to be flushed while the next ones are
// copied. Their bytes went to the disk in the background meanwhile, so the flush finds little
// left to wait for.
void TCopyThread::HandOverPending() {
    NameFlushed();
    if (pending_.empty())
        return;
    flushing_ = std::move(pending_);
    pending_.clear();
    pendingBytes_ = 0;
    std::vector<platform::CopyTarget*> targets;
    for (Entry& entry : flushing_)
        targets.push_back(entry.out.get());
    const auto flush = [this, targets] {
        try {
            flushed_ = files_.FlushAll(targets);
        } catch (const std::exception& failure) {
            flushed_.clear();
            Log(std::string("flushing the copies failed: ") + failure.what());
        }
    };
    try {
        flusher_ = std::thread(flush);
    } catch (const std::system_error&) {
        flush(); // no thread to be had: flushed here, only slower
    }
}

void TCopyThread::NameFlushed() {
    if (flusher_.joinable())
        flusher_.join();
    for (std::size_t i = 0; i < flushing_.size(); ++i) {
        Entry& entry = flushing_[i];
        try {
            // A flush that gave no answer counts as failed.
            Name(entry, i < flushed_.size() ? flushed_[i]
                                            : platform::Status::Error("the flush gave no answer"));
        } catch (const std::exception& failure) {
            entry.failure = failure.what();
        }
        EndEntry(entry);
    }
    flushing_.clear();
    flushed_.clear();
}

// Named while still open, so no other job can take the file for a leftover in between.
bool TCopyThread::Name(Entry& entry, const platform::Status& flushed) {
    if (!flushed) {
        entry.failure = "the copy cannot be saved to disk: " + flushed.message();
        return false;
    }
    platform::TargetFolder& folder = *entry.place->folder;
    TNamePlanner& planner = *entry.place->planner;
    // Only a file from before the job is replaced; one of this job's copies never is.
    if (entry.replace && !planner.Owned(entry.name)) {
        if (auto renamed = files_.RenameReplacing(folder, entry.temporary, entry.name); !renamed) {
            entry.failure = "the copy cannot be named " + entry.Path() + ": " + renamed.message();
            return false;
        }
    } else {
        // A file that took the name meanwhile is never replaced: the copy takes the next number.
        for (int attempt = 0;; ++attempt) {
            auto renamed = files_.RenameNoReplace(folder, entry.temporary, entry.name);
            if (!renamed) {
                entry.failure =
                    "the copy cannot be named " + entry.Path() + ": " + renamed.message();
                return false;
            }
            if (*renamed)
                break;
            auto numbered = planner.Numbered(entry.planned, false);
            if (!numbered || attempt == kMostRenames) {
                entry.failure = "no free numbered name";
                return false;
            }
            entry.name = *numbered;
            planner.Claim(entry.name);
            FollowRename(entry);
        }
    }
    entry.temporary.clear();
    planner.Own(entry.name);
    auto closed = entry.out->Close();
    entry.out.reset();
    if (!closed) {
        // Flushed already: a failed close loses nothing, but is said.
        Log("closing the copy " + entry.Path() + " failed: " + closed.message());
    }
    TEntryResult& result = result_.entries[entry.index];
    result.path = entry.Path();
    result.outcome = entry.name == entry.planned ? TCopyOutcome::Copied : TCopyOutcome::Numbered;
    return true;
}

// Closes what the entry opened and removes its temporary file; writes its outcome unless it was
// copied, or cut by abandoning the job.
void TCopyThread::EndEntry(Entry& entry) {
    if (entry.out)
        (void)entry.out->Close();
    entry.out.reset();
    if (entry.in)
        (void)entry.in->Close();
    entry.in.reset();
    if (!entry.temporary.empty()) {
        if (auto removed = files_.Remove(*entry.place->folder, entry.temporary); !removed)
            Log("the partial copy " + JoinTargetPath(entry.place->path, entry.temporary) +
                " cannot be removed: " + removed.message());
        entry.temporary.clear();
    }
    TEntryResult& result = result_.entries[entry.index];
    if (result.outcome != TCopyOutcome::Pending)
        return;
    if (entry.stopped) {
        if (abandoned_.load())
            return;
        result.outcome = TCopyOutcome::Stopped;
    } else if (!entry.failure.empty()) {
        Log(entry.source + " to " + entry.Path() + ": " + entry.failure);
        result.outcome = TCopyOutcome::Failed;
        result.reason = entry.failure;
        Forget(entry.size > entry.done ? entry.size - entry.done : 0);
    }
}
