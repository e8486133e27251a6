#pragma once

#include "core/copy/CopyJob.h"
#include "core/copy/CopyMessages.h"
#include "platform/CopyFiles.h"
#include "platform/Status.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace copy {

// The unit of the copy loop: the stop request and the progress are looked at after every block.
inline constexpr std::size_t kBlockBytes = 2048;
// Beneath the blocks the files are moved, or read and written, in pieces of this size.
inline constexpr std::size_t kIoBytes = 1u << 20;
// Complete copies wait unnamed, their bytes going to the disk meanwhile, until a batch of this
// many files or bytes waits; the batch is then flushed on a thread of its own while the next one
// is copied, and named once that one is full too. So at most two batches wait at a time.
inline constexpr std::size_t kMostPendingFiles = 128;
inline constexpr std::uint64_t kMostPendingBytes = std::uint64_t{64} << 20;

// Whether copies can go into the folder, with the reason when not: it must exist and be a
// folder, lie outside the player whose root is playerRoot (empty: no player), and take a file,
// which is created there and removed again.
platform::Status CheckTargetFolder(platform::CopyFiles& files, const std::string& folder,
                                   const std::string& playerRoot);
// Whether the folder, or where it would be made, is the player's root or lies inside it.
bool TargetOnPlayer(platform::CopyFiles& files, const std::string& folder,
                    const std::string& playerRoot);

// What an entry reads when the player went away during the job.
inline constexpr char kPlayerGone[] = "the player is no longer there";

} // namespace copy

// Copies the files of one job in a thread of its own. Created suspended; Start runs Execute once
// on the worker's std::thread, and whoever starts it joins it.
//
// Each entry is written under a temporary name in its target folder and takes its final name
// only when complete and flushed to disk; whatever ends an entry early removes that temporary
// file and nothing else. Each target folder is opened once, when the run starts: names are
// created and changed in it, so a folder that goes away fails the remaining entries instead of
// letting copies land elsewhere. Before the first entry the run removes the temporary files
// that killed runs left in the folder (never one a running job holds). Names are chosen by
// copy::TNamePlanner: a name a copy of this job holds is never overwritten. A complete copy waits,
// open under its temporary name, while the next entries are copied, so flushing overlaps copying:
// a full batch (kMostPendingFiles or kMostPendingBytes) is flushed on a second thread, with one
// wait for the whole volume where the system has it, and its copies are named in job order, on
// the worker's thread, when the next batch is full; at the end of every run, a stopped or
// abandoned one too, all are flushed and named before any CMProgressFinish. An entry reads as
// copied only once its copy is named, and a name a waiting copy will take counts as taken for the
// entries after it. Every job that is not abandoned ends with CMProgressFinish.
class TCopyThread {
public:
    explicit TCopyThread(TCopyMessages& messages,
                         platform::CopyFiles& files = platform::SystemCopyFiles());
    // A worker still running is abandoned and waited for; join it before, see Join.
    ~TCopyThread();
    TCopyThread(const TCopyThread&) = delete;
    TCopyThread& operator=(const TCopyThread&) = delete;

    // From any thread. A stop is seen after the current block or before the next entry.
    void SetStopCopy(bool stop);
    // From any thread; read once per entry, so a change applies from the next entry on.
    void SetOverWriteExistFile(bool overwrite);

    // Runs Execute on the worker's own thread for the job, which it keeps; a failure when started
    // before. The request's root of the player lets a source that cannot be read say whether the
    // player went away.
    platform::Status Start(copy::TCopyRequest request);

    // The worker parks at its next block boundary or before its next message, until Resume. No
    // lock is held that the caller needs meanwhile: a message already under way is still
    // delivered. Returns at once.
    void Pause();
    void Resume();
    // The worker stops at its next block boundary or before its next message (a pause ends),
    // removes its partial file and ends without updating that entry or sending any message.
    // Copies already complete are flushed and named first, and their entries read as copied.
    void Abandon();
    // Waits until the run has ended. While it waits, deliverPending is called every few
    // milliseconds: a window must pass its event delivery there, since a message already sent
    // waits for the window's thread.
    void Join(const std::function<void()>& deliverPending = {});

    bool Started() const { return started_; }
    bool Ended() const { return ended_.load(); }
    bool Parked() const { return parked_.load(); }

    // The name the worker set out to write last. The worker removes its own partial file: a
    // stopped job leaves nothing under this name that it did not complete.
    std::string CurrentTarget() const;
    // What became of each entry, once the run has ended or during CMProgressFinish; entries not
    // reached read as pending.
    const copy::TCopyResult& Result() const { return result_; }
    // Bytes of the job and bytes copied so far, from any thread.
    std::uint64_t TotalBytes() const { return total_.load(); }
    std::uint64_t CopiedBytes() const { return copied_.load(); }

    // During the run: the first free numbered variant of path ("NAME(1).EXT", ...), or nothing
    // (logged). A name another entry of this job has claimed is not free.
    std::optional<std::string> CreateNewOutputPathName(const std::string& path);

private:
    struct Entry;
    struct Place;

    Place& PlaceOf(const std::string& folder);
    bool PlayerGone();
    bool InsideTarget(const std::string& folder) const;

    void Execute();
    void Run();
    void CopyEntry(std::size_t index, std::optional<std::uint64_t> expectedSize);
    bool CopyBlocks(Entry& entry);
    bool SkipCopied(Entry& entry);
    bool HasRoom(Place& place, std::uint64_t size);
    bool HoldsSame(const std::string& path, const Entry& entry);
    bool AtBlockBoundary(Entry& entry);
    void SettlePending();
    void HandOverPending();
    void NameFlushed();
    bool Name(Entry& entry, const platform::Status& flushed);
    void EndEntry(Entry& entry);

    void SetCurrentTarget(const Entry& entry);
    void FollowRename(const Entry& entry);
    void Forget(std::uint64_t bytes);
    void Advance(std::uint64_t bytes);
    void UpdatePosition();

    // False once abandoned.
    bool WaitWhilePaused();
    bool SendPosition(int position);
    bool SendMax();
    bool SendText(const std::string& text);

    TCopyMessages& messages_;
    platform::CopyFiles& files_;
    copy::TCopyRequest request_;
    copy::TCopyResult result_;
    std::optional<platform::FileIdentity> player_;
    std::vector<std::unique_ptr<Place>> places_;

    std::atomic<bool> stopCopy_{false};
    std::atomic<bool> overwrite_{false};
    std::atomic<bool> pauseRequested_{false};
    std::atomic<bool> abandoned_{false};
    std::atomic<bool> parked_{false};
    std::atomic<bool> ended_{false};
    std::mutex pauseMutex_;
    std::condition_variable pauseChanged_;
    std::condition_variable endedChanged_;

    mutable std::mutex targetMutex_;
    std::string currentTarget_;
    std::size_t currentEntry_ = 0;

    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> copied_{0};
    int lastPosition_ = 0;

    std::vector<std::uint8_t> buffer_;
    // Complete copies, open under their temporary names, in job order.
    std::vector<Entry> pending_;
    std::uint64_t pendingBytes_ = 0;
    // The batch before, being flushed by flusher_ into flushed_ (one status each).
    std::vector<Entry> flushing_;
    std::vector<platform::Status> flushed_;
    std::thread flusher_;

    bool started_ = false;
    std::thread thread_;
};
