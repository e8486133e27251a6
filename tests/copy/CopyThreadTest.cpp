#include "core/copy/CopyThread.h"

#include "CopyFilesDouble.h"
#include "core/base/LogClass.h"
#include "core/copy/NamePlan.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <iterator>
#include <random>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using copy::TCopyOutcome;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// "t7.mp3" of "t", 7 and ".mp3". Appended: GCC 12 at -O3 sees a false overlap in
// "t" + std::string (-Wrestrict).
std::string NumberedName(std::string_view stem, std::uint64_t number, std::string_view rest = {}) {
    std::string name(stem);
    name.append(std::to_string(number)).append(rest);
    return name;
}

// The messages, in order; the hooks run on the worker's thread inside a message.
struct Recorder final : TCopyMessages {
    std::function<void(int entry)> onText;
    std::function<void()> onPosition;
    std::function<void()> onFinish;
    std::vector<int> positions;
    std::vector<std::string> texts;
    int maxima = 0;
    int finish = 0;
    std::atomic<int> sent{0};

    void CMProgressPosition(int position) override {
        ++sent;
        positions.push_back(position);
        if (onPosition)
            onPosition();
    }
    void CMProgressMax(int maximum) override { ++sent, maxima += maximum == copy::kProgressMax; }
    void CMProgressFinish(int result) override {
        ++sent, finish = result;
        if (onFinish)
            onFinish();
    }
    void CMProgressText(const std::string& text) override {
        ++sent;
        texts.push_back(text);
        if (onText)
            onText(static_cast<int>(texts.size()));
    }
};

class CopyWorker : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(player_);
        fs::create_directories(out_);
        app::TLogClass::SetProgramFolder(logs_.str());
    }
    void TearDown() override { app::TLogClass::SetProgramFolder({}); }

    // An entry copying a new source of bytes of its own to the name in the target folder.
    std::string Plan(const std::string& name, std::size_t size) {
        const auto source = (player_ / NumberedName("S", sources_.size())).string();
        std::string bytes(size, '\0');
        std::uint32_t state = static_cast<std::uint32_t>(sources_.size()) + 1;
        for (char& c : bytes)
            c = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
        WriteFile(source, bytes);
        sources_.push_back(source);
        targets_.push_back(Out(name));
        return source;
    }
    std::string Out(const std::string& name) const { return (out_ / name).string(); }
    // The copy under that name holds the entry's source, byte for byte.
    bool Holds(const std::string& name, std::size_t entry) const {
        return ReadFile(out_ / name) == ReadFile(sources_[entry]);
    }

    // The job of the planned entries, all in the target folder.
    copy::TCopyRequest Request(bool overwrite) const {
        copy::TCopyRequest job{out_.string(), {}, playerRoot_, overwrite};
        for (std::size_t i = 0; i < sources_.size(); ++i)
            job.entries.push_back({"", sources_[i], fs::path(targets_[i]).filename().string()});
        return job;
    }
    void Start(bool overwrite) { ASSERT_TRUE(worker_.Start(Request(overwrite)).ok()); }
    // Joins the worker and reads each entry's outcome into targets_, as the report shows it.
    void Join(TCopyThread& worker) {
        worker.Join();
        targets_.clear();
        for (const auto& entry : worker.Result().entries)
            targets_.push_back(copy::OutcomeText(entry));
    }
    void Join() { Join(worker_); }
    static std::vector<TCopyOutcome> Outcomes(const TCopyThread& worker) {
        std::vector<TCopyOutcome> kinds;
        for (const auto& entry : worker.Result().entries)
            kinds.push_back(entry.outcome);
        return kinds;
    }
    std::vector<TCopyOutcome> Outcomes() const { return Outcomes(worker_); }
    void Run(bool overwrite) {
        Start(overwrite);
        Join();
        EXPECT_EQ(files_.openFiles.load(), 0) << "a file was left open";
        EXPECT_EQ(files_.namedUnflushed.load(), 0) << "a copy was named before it was flushed";
    }
    void WaitUntilParked() const {
        while (!worker_.Parked())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::set<std::string> OutNames() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_))
            names.insert(entry.path().filename().string());
        return names;
    }
    // The copies waiting under temporary names, and their bytes.
    struct Waiting {
        std::size_t files = 0;
        std::uintmax_t bytes = 0;
    };
    Waiting Temporaries() const {
        Waiting waiting;
        for (const auto& entry : fs::directory_iterator(out_))
            if (entry.path().extension() == ".part") {
                ++waiting.files;
                waiting.bytes += entry.file_size();
            }
        return waiting;
    }
    // An entry reads as copied only while its copy is whole under the entry's path.
    void ExpectCopiedOnlyWhenWhole() const {
        for (std::size_t j = 0; j < targets_.size(); ++j) {
            if (Outcomes()[j] == TCopyOutcome::Copied) {
                EXPECT_EQ(ReadFile(targets_[j]), ReadFile(sources_[j])) << "entry " << j;
            }
        }
    }
    // Positions grow and reach the maximum with the last one only.
    void ExpectEvenProgress() const {
        const auto& p = messages_.positions;
        ASSERT_FALSE(p.empty());
        for (std::size_t i = 1; i < p.size(); ++i)
            EXPECT_LT(p[i - 1], p[i]) << "at " << i;
        EXPECT_EQ(p.back(), copy::kProgressMax);
    }

    testsupport::TempDir dir_, logs_;
    fs::path player_ = dir_ / "player";
    fs::path out_ = dir_ / "out";
    std::vector<std::string> sources_, targets_;
    std::string playerRoot_;
    testsupport::FaultyFiles files_;
    Recorder messages_;
    TCopyThread worker_{messages_, files_};
};

using Names = std::vector<std::string>;
using Set = std::set<std::string>;

} // namespace

TEST_F(CopyWorker, CopiesEveryEntryWholeAndReportsEachStep) {
    Plan("a.mp3", 70000);
    Plan("empty.wav", 0);
    Plan("b", 5000);
    Run(false);
    EXPECT_EQ(targets_, (Names{Out("a.mp3"), Out("empty.wav"), Out("b")}));
    EXPECT_EQ(Outcomes(), std::vector<TCopyOutcome>(3, TCopyOutcome::Copied));
    EXPECT_TRUE(Holds("a.mp3", 0) && Holds("empty.wav", 1) && Holds("b", 2));
    EXPECT_EQ(OutNames(), (Set{"a.mp3", "empty.wav", "b"}));
    EXPECT_EQ(messages_.texts,
              (Names{"(1/3) Copying a.mp3", "(2/3) Copying empty.wav", "(3/3) Copying b"}));
    EXPECT_EQ(messages_.maxima, 3);
    EXPECT_EQ(messages_.finish, copy::kCopyFinished);
    EXPECT_EQ(worker_.CopiedBytes(), 75000u);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, OverwritingReplacesOnlyFilesFromBeforeTheJob) {
    WriteFile(out_ / "a.mp3", "old");
    Plan("a.mp3", 3000);
    Plan("a.mp3", 4000); // one name twice: the second copy is numbered, never replaces the first
    Run(true);
    EXPECT_EQ(targets_, (Names{Out("a.mp3"), Out("a(1).mp3")}));
    EXPECT_TRUE(Holds("a.mp3", 0) && Holds("a(1).mp3", 1));
    EXPECT_EQ(OutNames(), (Set{"a.mp3", "a(1).mp3"}));
}

TEST_F(CopyWorker, NotOverwritingNumbersTheNameBeforeItsLastExtension) {
    const Set earlier{"a.mp3", "a(1).mp3", "Drive", "Song.mp3.mp3"};
    for (const auto& name : earlier)
        WriteFile(out_ / name, name);
    Plan("a.mp3", 100);
    Plan("a.mp3", 200);
    Plan("Drive", 300);
    Plan("Song.mp3.mp3", 400);
    Run(false);
    EXPECT_EQ(targets_,
              (Names{Out("a(2).mp3"), Out("a(3).mp3"), Out("Drive(1)"), Out("Song.mp3(1).mp3")}));
    EXPECT_TRUE(Holds("a(2).mp3", 0) && Holds("a(3).mp3", 1) && Holds("Drive(1)", 2) &&
                Holds("Song.mp3(1).mp3", 3));
    for (const auto& name : earlier)
        EXPECT_EQ(ReadFile(out_ / name), name) << "an earlier file changed";
}

TEST_F(CopyWorker, ANameTakenDuringTheCopyIsNeverReplaced) {
    Plan("a.mp3", 5000);
    messages_.onPosition = [&] {
        if (!fs::exists(out_ / "a.mp3"))
            WriteFile(out_ / "a.mp3", "someone else's");
    };
    Run(false);
    EXPECT_EQ(targets_[0], Out("a(1).mp3"));
    EXPECT_TRUE(Holds("a(1).mp3", 0));
    EXPECT_EQ(ReadFile(out_ / "a.mp3"), "someone else's");
}

TEST_F(CopyWorker, PausedItCopiesNothingAndAStopEndsTheEntryWithoutAFileOfIt) {
    Plan("first.mp3", 1000);
    Plan("big.mp3", 3 << 20);
    WriteFile(out_ / "big.mp3", "the user's own");
    Plan("last.mp3", 1000);
    messages_.onText = [&](int entry) {
        if (entry == 2)
            messages_.onPosition = [&] { worker_.Pause(); };
    };
    Start(true);
    WaitUntilParked();
    const std::uint64_t copied = worker_.CopiedBytes();
    const int sent = messages_.sent;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(worker_.CopiedBytes(), copied);
    EXPECT_EQ(messages_.sent, sent);
    worker_.SetStopCopy(true);
    worker_.Resume();
    Join();
    EXPECT_EQ(targets_, (Names{Out("first.mp3"), copy::kCopyTerminated, copy::kCopyTerminated}));
    EXPECT_EQ(worker_.CurrentTarget(), Out("big.mp3"));
    EXPECT_EQ(ReadFile(out_ / "big.mp3"), "the user's own");
    EXPECT_EQ(OutNames(), (Set{"first.mp3", "big.mp3"}));
    EXPECT_EQ(messages_.finish, copy::kCopyStopped);
    EXPECT_EQ(files_.openFiles.load(), 0);
}

TEST_F(CopyWorker, AStopBetweenEntriesRemovesNothing) {
    Plan("first.mp3", 1000);
    Plan("second.mp3", 1000);
    WriteFile(out_ / "second.mp3", "kept");
    messages_.onText = [&](int entry) {
        if (entry == 2)
            worker_.SetStopCopy(true);
    };
    Run(true);
    EXPECT_EQ(targets_, (Names{Out("first.mp3"), copy::kCopyTerminated}));
    EXPECT_TRUE(Holds("first.mp3", 0));
    EXPECT_EQ(ReadFile(out_ / "second.mp3"), "kept");
    EXPECT_EQ(OutNames(), (Set{"first.mp3", "second.mp3"}));
    EXPECT_EQ(messages_.finish, copy::kCopyStopped);
}

TEST_F(CopyWorker, AnAbandonedJobLeavesNoFileAndSendsNoFinish) {
    Plan("big.mp3", 3 << 20);
    messages_.onPosition = [&] { worker_.Pause(); };
    Start(false);
    WaitUntilParked();
    worker_.Abandon();
    Join();
    EXPECT_EQ(messages_.finish, 0);
    EXPECT_EQ(Outcomes(), std::vector{TCopyOutcome::Pending});
    EXPECT_TRUE(OutNames().empty());
    EXPECT_EQ(files_.openFiles.load(), 0);
}

TEST_F(CopyWorker, RefusesAFileLargerThanTheFreeSpaceAndGoesOn) {
    files_.freeSpace = platform::Result<std::uint64_t>(10000);
    Plan("large.mp3", 20000);
    Plan("small.mp3", 5000);
    Run(false);
    EXPECT_EQ(targets_, (Names{copy::kDiskspaceNotEnough, Out("small.mp3")}));
    EXPECT_EQ(OutNames(), Set{"small.mp3"});
    EXPECT_EQ(messages_.texts.size(), 2u);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, RefusesOnlyOnTheVolumesOwnAnswer) {
    // The room left by the count after the first copy is short; the volume, asked again, has it.
    files_.freeSpace = platform::Result<std::uint64_t>(10000);
    messages_.onText = [&](int entry) {
        if (entry == 1)
            files_.freeSpace = platform::Result<std::uint64_t>(20000);
    };
    Plan("first.mp3", 6000);
    Plan("second.mp3", 6000);
    Run(false);
    EXPECT_EQ(OutNames(), (Set{"first.mp3", "second.mp3"}));
}

TEST_F(CopyWorker, TriesTheCopyWhenTheFreeSpaceCannotBeAsked) {
    files_.freeSpace = platform::Result<std::uint64_t>(platform::Status::Error("no answer"));
    Plan("a.mp3", 5000);
    Run(false);
    EXPECT_TRUE(Holds("a.mp3", 0));
}

TEST_F(CopyWorker, ASourceThatVanishedIsReportedAsNotFound) {
    Plan("a.mp3", 1000);
    const std::string vanishing = Plan("b.mp3", 2000);
    Plan("c.mp3", 3000);
    messages_.onText = [&](int entry) {
        if (entry == 1)
            fs::remove(vanishing);
    };
    Run(false);
    EXPECT_EQ(targets_, (Names{Out("a.mp3"), copy::kSourceNotFound, Out("c.mp3")}));
    EXPECT_EQ(messages_.texts.size(), 2u);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, AJobOfNoBytesEndsWithAFullBar) {
    Plan("empty.mp3", 0);
    sources_.push_back((player_ / "missing").string());
    targets_.push_back(Out("missing.mp3"));
    Run(false);
    EXPECT_EQ(targets_, (Names{Out("empty.mp3"), copy::kSourceNotFound}));
    EXPECT_EQ(OutNames(), Set{"empty.mp3"});
    EXPECT_EQ(messages_.positions, std::vector<int>{copy::kProgressMax});
    EXPECT_EQ(messages_.finish, copy::kCopyFinished);
}

TEST_F(CopyWorker, StartsOnce) {
    Plan("a.mp3", 10);
    EXPECT_TRUE(worker_.Start(Request(false)).ok());
    EXPECT_FALSE(worker_.Start(Request(false)).ok());
    Join();
    EXPECT_TRUE(Holds("a.mp3", 0));
}

namespace {

struct Fault {
    const char* what;
    std::optional<std::uint64_t> readFails, writeFails, shrinksTo;
    bool overwritesAFile;
    std::string reason;
};

class AFailedFile : public CopyWorker, public ::testing::WithParamInterface<Fault> {};

} // namespace

TEST_P(AFailedFile, IsReportedAndLoggedLeavesNoFileAndTheJobGoesOn) {
    const Fault& fault = GetParam();
    // Windows denies writers while the copy reads, so nobody can shrink the source there.
    if (fault.shrinksTo && platform::kPathSeparator == '\\')
        GTEST_SKIP();
    files_.failReadAfter = fault.readFails;
    files_.failWriteAfter = fault.writeFails;
    if (fault.overwritesAFile)
        WriteFile(out_ / "bad.mp3", "the user's good file");
    const std::string source = Plan("bad.mp3", 3 << 20);
    Plan("good.mp3", 20000);
    if (fault.shrinksTo)
        messages_.onPosition = [&] {
            if (fs::file_size(source) > *fault.shrinksTo)
                fs::resize_file(source, *fault.shrinksTo);
        };
    Run(fault.overwritesAFile);
    EXPECT_EQ(targets_[0], copy::kCopyFailed + fault.reason);
    EXPECT_EQ(Outcomes()[0], TCopyOutcome::Failed);
    EXPECT_TRUE(Holds("good.mp3", 1));
    if (fault.overwritesAFile) {
        EXPECT_EQ(ReadFile(out_ / "bad.mp3"), "the user's good file");
        EXPECT_EQ(OutNames(), (Set{"bad.mp3", "good.mp3"}));
    } else {
        EXPECT_EQ(OutNames(), Set{"good.mp3"});
    }
    EXPECT_NE(ReadFile(logs_ / "apces.cnt").find("Execute:" + source), std::string::npos);
    EXPECT_EQ(messages_.finish, copy::kCopyFinished);
    ExpectEvenProgress();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AFailedFile,
    ::testing::Values(
        Fault{"WriteHalfWay",
              {},
              30000,
              {},
              false,
              "the copy cannot be written: No space left on device"},
        Fault{"ReadHalfWay", 30000, {}, {}, false, "the source cannot be read: Input/output error"},
        Fault{"SourceShrinks",
              {},
              {},
              1500000,
              false,
              "the source ended after 1500000 of 3145728 bytes"},
        Fault{"OverwriteFails",
              {},
              30000,
              {},
              true,
              "the copy cannot be written: No space left on device"}),
    [](const auto& test) { return std::string(test.param.what); });

// Complete copies wait unnamed while the next ones are copied, and are flushed and named
// together; these cases guard what that waiting could break.

TEST_F(CopyWorker, EntriesOfOnePlannedNameTakeTheNameAndItsNumbersInJobOrder) {
    Plan("a.mp3", 3000);
    Plan("a.mp3", 4000);
    Plan("a.mp3", 5000);
    Run(false);
    EXPECT_EQ(targets_, (Names{Out("a.mp3"), Out("a(1).mp3"), Out("a(2).mp3")}));
    EXPECT_TRUE(Holds("a.mp3", 0) && Holds("a(1).mp3", 1) && Holds("a(2).mp3", 2));
    EXPECT_EQ(Outcomes(),
              (std::vector{TCopyOutcome::Copied, TCopyOutcome::Numbered, TCopyOutcome::Numbered}));
    EXPECT_EQ(messages_.texts,
              (Names{"(1/3) Copying a.mp3", "(2/3) Copying a(1).mp3", "(3/3) Copying a(2).mp3"}));
}

// A job run again takes each earlier copy where the first run put it, numbered names too, and
// copies only what differs; a third run copies nothing.
TEST_F(CopyWorker, SkippingFindsEachEarlierCopyAndCopiesOnlyWhatDiffers) {
    Plan("a.mp3", 3000);
    Plan("a.mp3", 4000);
    Plan("b.mp3", 5000);
    const Names planned = targets_;
    Run(false);
    ASSERT_EQ(targets_, (Names{Out("a.mp3"), Out("a(1).mp3"), Out("b.mp3")}));
    std::string changed = ReadFile(out_ / "b.mp3");
    changed.back() = static_cast<char>(changed.back() ^ 1); // same size, other bytes
    WriteFile(out_ / "b.mp3", changed);
    const std::vector<std::vector<TCopyOutcome>> runs{
        {TCopyOutcome::AlreadyCopied, TCopyOutcome::AlreadyCopied, TCopyOutcome::Numbered},
        {TCopyOutcome::AlreadyCopied, TCopyOutcome::AlreadyCopied, TCopyOutcome::AlreadyCopied}};
    for (const auto& expected : runs) {
        TCopyThread again(messages_, files_);
        targets_ = planned;
        copy::TCopyRequest job = Request(false);
        job.skipExisting = true;
        ASSERT_TRUE(again.Start(job).ok());
        Join(again);
        EXPECT_EQ(Outcomes(again), expected);
        EXPECT_EQ(again.Result().entries[1].path, Out("a(1).mp3"));
    }
    EXPECT_EQ(targets_[0], copy::kAlreadyCopied);
    EXPECT_TRUE(Holds("b(1).mp3", 2));
    EXPECT_EQ(ReadFile(out_ / "b.mp3"), changed) << "the user's file is never replaced";
    EXPECT_EQ(OutNames(), (Set{"a.mp3", "a(1).mp3", "b.mp3", "b(1).mp3"}));
}

TEST_F(CopyWorker, ANameTakenWhileItsCopyWaitsGivesItANumberNoLaterEntryHolds) {
    Plan("a.mp3", 3000);
    Plan("a.mp3", 4000);
    messages_.onText = [&](int entry) {
        if (entry == 2)
            WriteFile(out_ / "a.mp3", "someone else's");
    };
    Run(false);
    EXPECT_EQ(targets_, (Names{Out("a(2).mp3"), Out("a(1).mp3")}));
    EXPECT_TRUE(Holds("a(2).mp3", 0) && Holds("a(1).mp3", 1));
    EXPECT_EQ(ReadFile(out_ / "a.mp3"), "someone else's");
    EXPECT_EQ(messages_.texts.back(), "(2/2) Copying a(1).mp3");
    EXPECT_EQ(worker_.CurrentTarget(), Out("a(1).mp3"));
}

TEST_F(CopyWorker, AStopNamesTheCompleteCopiesStillWaitingAndCutsTheRest) {
    Plan("first.mp3", 1000);
    Plan("second.mp3", 2000);
    Plan("big.mp3", 3 << 20);
    Plan("last.mp3", 1000);
    bool stopped = false;
    std::size_t waiting = 0;
    std::vector<TCopyOutcome> before;
    messages_.onText = [&](int entry) {
        if (entry == 3)
            messages_.onPosition = [&] {
                if (stopped)
                    return;
                stopped = true;
                waiting = Temporaries().files;
                before = Outcomes();
                worker_.SetStopCopy(true);
            };
    };
    Run(false);
    // When the stop came, both complete copies were still waiting beside the partial one.
    EXPECT_EQ(waiting, 3u);
    EXPECT_EQ(before, std::vector<TCopyOutcome>(4, TCopyOutcome::Pending));
    EXPECT_EQ(targets_, (Names{Out("first.mp3"), Out("second.mp3"), copy::kCopyTerminated,
                               copy::kCopyTerminated}));
    EXPECT_TRUE(Holds("first.mp3", 0) && Holds("second.mp3", 1));
    EXPECT_EQ(OutNames(), (Set{"first.mp3", "second.mp3"}));
    EXPECT_EQ(messages_.finish, copy::kCopyStopped);
}

TEST_F(CopyWorker, AnAbandonedJobNamesItsCompleteCopiesAndLeavesNoTemporaryFile) {
    Plan("first.mp3", 1000);
    Plan("second.mp3", 2000);
    Plan("big.mp3", 3 << 20);
    Plan("last.mp3", 1000);
    messages_.onText = [&](int entry) {
        if (entry == 3)
            messages_.onPosition = [&] { worker_.Pause(); };
    };
    Start(false);
    WaitUntilParked();
    EXPECT_EQ(Temporaries().files, 3u);
    worker_.Abandon();
    Join();
    EXPECT_EQ(OutNames(), (Set{"first.mp3", "second.mp3"}));
    EXPECT_TRUE(Holds("first.mp3", 0) && Holds("second.mp3", 1));
    EXPECT_EQ(Outcomes(),
              (std::vector<TCopyOutcome>{TCopyOutcome::Copied, TCopyOutcome::Copied,
                                         TCopyOutcome::Pending, TCopyOutcome::Pending}));
    EXPECT_EQ(messages_.finish, 0);
    EXPECT_EQ(files_.openFiles.load(), 0);
    EXPECT_EQ(files_.namedUnflushed.load(), 0);
}

TEST_F(CopyWorker, AnEntryReadsAsCopiedOnlyOnceItsFileIsWholeAndTheEndWaitsForAll) {
    for (int i = 0; i < 20; ++i)
        Plan(NumberedName("t", i, ".mp3"), 3000 + 5000 * static_cast<std::size_t>(i));
    Waiting atFull{99, 0}, atFinish{99, 0};
    std::size_t copiedAtFinish = 0;
    messages_.onText = [&](int) { ExpectCopiedOnlyWhenWhole(); };
    messages_.onPosition = [&] {
        if (messages_.positions.back() == copy::kProgressMax)
            atFull = Temporaries();
    };
    messages_.onFinish = [&] {
        atFinish = Temporaries();
        copiedAtFinish = worker_.Result().Copies();
        ExpectCopiedOnlyWhenWhole();
    };
    Run(false);
    EXPECT_EQ(atFull.files, 0u) << "the bar was full before every copy was named";
    EXPECT_EQ(atFinish.files, 0u);
    EXPECT_EQ(copiedAtFinish, 20u);
    ExpectEvenProgress();
}

namespace {

struct Window {
    const char* what;
    int files;
    std::size_t bytes;
};

class TheWaitingCopies : public CopyWorker, public ::testing::WithParamInterface<Window> {};

} // namespace

TEST_P(TheWaitingCopies, StayWithinTheWindowAndAllEndNamed) {
    const Window& window = GetParam();
    for (int i = 0; i < window.files; ++i)
        Plan(NumberedName("t", i, ".mp3"), window.bytes);
    Waiting most;
    messages_.onText = [&](int) {
        const Waiting now = Temporaries();
        most.files = std::max(most.files, now.files);
        most.bytes = std::max(most.bytes, now.bytes);
    };
    Run(false);
    EXPECT_GT(most.files, 1u) << "no copy waited";
    // One batch being flushed, the next one filling.
    EXPECT_LE(most.files, 2 * copy::kMostPendingFiles);
    EXPECT_LE(most.bytes, 2 * copy::kMostPendingBytes);
    EXPECT_EQ(Outcomes(), std::vector<TCopyOutcome>(targets_.size(), TCopyOutcome::Copied));
    EXPECT_EQ(OutNames().size(), targets_.size());
}

INSTANTIATE_TEST_SUITE_P(Windows, TheWaitingCopies,
                         ::testing::Values(Window{"ManySmallFiles", 300, 1000},
                                           Window{"FewLargeFiles", 4, 22u << 20}),
                         [](const auto& test) { return std::string(test.param.what); });

namespace {

struct LateFault {
    const char* what;
    std::size_t entry;
    bool naming; // the naming fails, else the flush
    bool overwritesAFile;
};

class AFailedWaitingCopy : public CopyWorker, public ::testing::WithParamInterface<LateFault> {};

} // namespace

TEST_P(AFailedWaitingCopy, FailsItsEntryAloneAndLeavesNoFileOfIt) {
    const LateFault& fault = GetParam();
    const Names names{"a.mp3", "b.mp3", "c.mp3"};
    if (fault.overwritesAFile)
        WriteFile(out_ / names[fault.entry], "the user's good file");
    for (const auto& name : names)
        Plan(name, 5000);
    (fault.naming ? files_.failNamingOf : files_.failFlushOf) = static_cast<int>(fault.entry);
    Run(fault.overwritesAFile);
    const std::string reason =
        fault.naming ? "the copy cannot be named " + Out(names[fault.entry]) + ": Permission denied"
                     : "the copy cannot be saved to disk: Input/output error";
    Set left;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i == fault.entry) {
            EXPECT_EQ(targets_[i], copy::kCopyFailed + reason);
            EXPECT_EQ(Outcomes()[i], TCopyOutcome::Failed);
            continue;
        }
        EXPECT_EQ(Outcomes()[i], TCopyOutcome::Copied) << "entry " << i;
        EXPECT_TRUE(Holds(names[i], i)) << "entry " << i;
        left.insert(names[i]);
    }
    if (fault.overwritesAFile) {
        EXPECT_EQ(ReadFile(out_ / names[fault.entry]), "the user's good file");
        left.insert(names[fault.entry]);
    }
    EXPECT_EQ(OutNames(), left);
    EXPECT_NE(ReadFile(logs_ / "apces.cnt").find("Execute:" + sources_[fault.entry]),
              std::string::npos);
    EXPECT_EQ(messages_.finish, copy::kCopyFinished);
    ExpectEvenProgress();
}

INSTANTIATE_TEST_SUITE_P(Faults, AFailedWaitingCopy,
                         ::testing::Values(LateFault{"FlushOfTheFirst", 0, false, false},
                                           LateFault{"FlushOfTheLast", 2, false, false},
                                           LateFault{"FlushOverwriting", 1, false, true},
                                           LateFault{"NamingOfTheMiddle", 1, true, false},
                                           LateFault{"NamingOverwriting", 1, true, true}),
                         [](const auto& test) { return std::string(test.param.what); });

// Between two file systems the system refuses to move the bytes itself; the buffer takes over.
TEST_F(CopyWorker, CopiesFromAnotherFileSystem) {
    const fs::path memory = "/dev/shm";
    if (platform::kPathSeparator == '\\' || !fs::is_directory(memory))
        GTEST_SKIP();
    const fs::path source = memory / NumberedName("kestrune-test-", std::random_device()());
    std::string bytes((3 << 20) + 7, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 >> 3);
    WriteFile(source, bytes);
    sources_.push_back(source.string());
    targets_.push_back(Out("far.mp3"));
    Run(false);
    fs::remove(source);
    EXPECT_EQ(Outcomes()[0], TCopyOutcome::Copied);
    EXPECT_EQ(ReadFile(out_ / "far.mp3"), bytes);
}

namespace {

// A folder whose names compare without letter case, as on exFAT, FAT and NTFS: each name is
// kept on the disk in lower case.
class FoldingFiles final : public testsupport::ForwardingCopyFiles {
public:
    platform::Result<std::unique_ptr<platform::CopyTarget>>
    CreateTarget(platform::TargetFolder& folder, const std::string& name) override {
        return real_.CreateTarget(folder, Fold(name));
    }
    platform::Result<bool> RenameNoReplace(platform::TargetFolder& folder, const std::string& from,
                                           const std::string& to) override {
        return real_.RenameNoReplace(folder, Fold(from), Fold(to));
    }
    platform::Status RenameReplacing(platform::TargetFolder& folder, const std::string& from,
                                     const std::string& to) override {
        return real_.RenameReplacing(folder, Fold(from), Fold(to));
    }
    platform::Status Remove(platform::TargetFolder& folder, const std::string& name) override {
        return real_.Remove(folder, Fold(name));
    }
    platform::Result<std::optional<platform::FileIdentity>>
    Lookup(platform::TargetFolder& folder, const std::string& name) override {
        return real_.Lookup(folder, Fold(name));
    }
    static std::string Fold(std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
};

} // namespace

// Every entry reported as copied has a file of its own with its own bytes, where the folder
// takes names in other letter case for one, with overwriting on and off; and the plan made
// before the job names every copy as the job then does.
TEST_F(CopyWorker, CopiesOfOneJobNeverTakeEachOthersFile) {
    for (const bool folding : {false, true}) {
        for (const bool overwrite : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "folding " << folding << ", overwrite " << overwrite);
            fs::remove_all(out_);
            fs::create_directories(out_);
            sources_.clear();
            targets_.clear();
            WriteFile(out_ / "drive.mp3", "from before the job");
            for (const char* name : {"Drive.mp3", "drive.mp3", "DRIVE.mp3", "Drive.mp3"})
                Plan(name, 3000);
            FoldingFiles foldingFiles;
            platform::CopyFiles& files =
                folding ? static_cast<platform::CopyFiles&>(foldingFiles) : files_;
            std::vector<std::string> plan;
            {
                auto folder = files.OpenFolder(out_.string());
                ASSERT_TRUE(folder.ok());
                copy::TNamePlanner planner(files, folder->get());
                for (const auto& target : targets_) {
                    const auto name =
                        planner.Choose(fs::path(target).filename().string(), overwrite);
                    ASSERT_TRUE(name);
                    planner.Claim(*name);
                    plan.push_back(Out(*name));
                }
            }
            TCopyThread worker(messages_, files);
            ASSERT_TRUE(worker.Start(Request(overwrite)).ok());
            Join(worker);
            EXPECT_EQ(targets_, plan);
            std::set<std::string> distinct;
            for (std::size_t i = 0; i < targets_.size(); ++i) {
                const std::string onDisk = folding ? FoldingFiles::Fold(targets_[i]) : targets_[i];
                EXPECT_EQ(ReadFile(onDisk), ReadFile(sources_[i])) << targets_[i];
                distinct.insert(onDisk);
            }
            EXPECT_EQ(distinct.size(), targets_.size());
            // The earlier file is replaced only with overwriting.
            EXPECT_EQ(ReadFile(out_ / "drive.mp3") == "from before the job", !overwrite);
        }
    }
}

// The target's volume unmounted shows the empty mount-point folder under its path; a folder
// removed leaves nothing there. Either way the rest of the job fails and nothing is written
// anywhere else.
TEST_F(CopyWorker, AFolderThatGoesAwayFailsTheRestAndWritesNothingElsewhere) {
    for (const bool replaced : {true, false}) {
        SCOPED_TRACE(replaced ? "replaced by an empty folder" : "removed");
        const fs::path away = dir_ / NumberedName("away", replaced);
        fs::create_directories(out_);
        targets_.clear(), sources_.clear(), messages_.texts.clear();
        for (int i = 0; i < 4; ++i)
            Plan(NumberedName("t", i, ".mp3"), 5000);
        std::error_code held; // on Windows the job holds its folder against both
        messages_.onText = [&](int entry) {
            if (entry != 3)
                return;
            fs::rename(out_, away, held);
            if (!held && replaced)
                fs::create_directories(out_);
            if (!held && !replaced)
                fs::remove_all(away);
        };
        TCopyThread worker(messages_, files_);
        ASSERT_TRUE(worker.Start(Request(false)).ok());
        Join(worker);
        // Where the folder is held the job goes on; the round after the first finds its copies
        // there and numbers the new ones.
        const bool windows = platform::kPathSeparator == '\\';
        for (const TCopyOutcome outcome : Outcomes(worker))
            EXPECT_EQ(copy::HasCopy(outcome), windows) << static_cast<int>(outcome);
        EXPECT_EQ(bool(held), windows);
        if (!held) {
            EXPECT_NE(targets_[3].find("is no longer there"), std::string::npos) << targets_[3];
            EXPECT_FALSE(fs::exists(out_) && !fs::is_empty(out_)) << "written into the new folder";
            EXPECT_FALSE(fs::exists(away) && !fs::is_empty(away)) << "a temporary file stayed";
        }
    }
}

TEST_F(CopyWorker, APlayerThatGoesAwayIsSaidSoNotAMissingFile) {
    for (int i = 0; i < 4; ++i)
        Plan(NumberedName("t", i, ".mp3"), 5000);
    messages_.onText = [&](int entry) {
        if (entry == 2)
            fs::rename(player_, dir_ / "pulled");
    };
    playerRoot_ = player_.string();
    Run(false);
    EXPECT_EQ(Outcomes()[1], TCopyOutcome::Copied) << "its file was open already";
    for (std::size_t i : {2u, 3u})
        EXPECT_EQ(targets_[i], std::string(copy::kCopyFailed) + copy::kPlayerGone);
}

TEST_F(CopyWorker, RemovesWhatKilledRunsLeftButNeverALiveCopy) {
    WriteFile(out_ / "~kestrune+0123456789abcdef+3.part", "half a song");
    WriteFile(out_ / "~kestrune+notes.txt", "the user's");
    auto folder = platform::SystemCopyFiles().OpenFolder(out_.string());
    ASSERT_TRUE(folder.ok());
    auto live =
        platform::SystemCopyFiles().CreateTarget(**folder, "~kestrune+fedcba9876543210+0.part");
    ASSERT_TRUE(live.ok());
    ASSERT_TRUE((*live)->Write(reinterpret_cast<const std::uint8_t*>("abc"), 3).ok());
    Plan("a.mp3", 100);
    Run(false);
    EXPECT_EQ(worker_.Result().leftoversRemoved, 1u);
    EXPECT_EQ(OutNames(),
              (Set{"a.mp3", "~kestrune+notes.txt", "~kestrune+fedcba9876543210+0.part"}));
}

// A folder reached through a link into the player is on the player all the same.
TEST_F(CopyWorker, ATargetReachedByALinkIntoThePlayerIsRefused) {
    fs::create_directories(player_ / "iPod_Control" / "iTunes");
    std::error_code noLinks;
    fs::create_directory_symlink(player_ / "iPod_Control", dir_ / "link", noLinks);
    if (noLinks)
        GTEST_SKIP() << "no links here (Wine makes none)";
    const auto checked = copy::CheckTargetFolder(
        platform::SystemCopyFiles(), (dir_ / "link" / "iTunes").string(), player_.string());
    EXPECT_NE(checked.message().find("is on the player"), std::string::npos) << checked.message();
}

#ifndef _WIN32
// Like some FUSE file systems, /proc has no blocks in all: its free space is unknown, not none,
// and a copy onto such a volume is tried.
TEST(CopyFreeSpace, AVolumeWithoutBlocksDoesNotTellItsSpace) {
    auto folder = platform::SystemCopyFiles().OpenFolder("/proc");
    ASSERT_TRUE(folder.ok());
    EXPECT_FALSE(platform::SystemCopyFiles().FreeSpace(**folder).ok());
}
#endif
