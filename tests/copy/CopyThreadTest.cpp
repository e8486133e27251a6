#include "copy/CopyThread.h"

#include "CopyFilesDouble.h"
#include "app/LogClass.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using copy::TCopyOutcome;
using testsupport::FaultyFiles;
using testsupport::TempDir;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes that differ from file to file and from place to place.
std::string Content(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Every message, in order; hooks run on the worker's thread inside the message.
class Recorder final : public TCopyMessages {
public:
    std::function<void(int entry)> onText;
    std::function<void(int position)> onPosition;

    void CMProgressPosition(int position) override {
        Record(copy::kCMProgressPosition, position, {});
        positions.push_back(position);
        if (onPosition)
            onPosition(position);
    }
    void CMProgressMax(int maximum) override { Record(copy::kCMProgressMax, maximum, {}); }
    void CMProgressFinish(int result) override { Record(copy::kCMProgressFinish, result, {}); }
    void CMProgressText(const std::string& text) override {
        Record(copy::kCMProgressText, 0, text);
        texts.push_back(text);
        if (onText)
            onText(static_cast<int>(texts.size()));
    }

    std::size_t Count(unsigned message) const {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (unsigned m : numbers)
            n += m == message;
        return n;
    }
    std::size_t Total() const {
        std::lock_guard lock(mutex_);
        return numbers.size();
    }

    std::vector<unsigned> numbers;
    std::vector<int> values;
    std::vector<int> positions;
    std::vector<std::string> texts;

private:
    void Record(unsigned number, int value, const std::string&) {
        std::lock_guard lock(mutex_);
        numbers.push_back(number);
        values.push_back(value);
    }
    mutable std::mutex mutex_;
};

class CopyWorker : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(player_);
        fs::create_directories(out_);
        app::TLogClass::SetProgramFolder(logs_.str());
    }
    void TearDown() override { app::TLogClass::SetProgramFolder({}); }

    // An entry copying a new source of the given size to the given name in the target folder.
    std::string Plan(const std::string& name, std::size_t size) {
        const auto source = player_ / ("S" + std::to_string(sources_.size()));
        WriteFile(source, Content(size, static_cast<unsigned>(sources_.size())));
        sources_.push_back(source.string());
        targets_.push_back(Out(name));
        return source.string();
    }
    std::string Out(const std::string& name) const { return (out_ / name).string(); }
    std::string Source(std::size_t entry) const { return ReadFile(sources_[entry]); }

    void Start(bool overwrite) {
        worker_.SetSourceFiles(sources_);
        worker_.SetTargetFiles(targets_);
        worker_.SetOverWriteExistFile(overwrite);
        ASSERT_TRUE(worker_.Start().ok());
    }
    void Run(bool overwrite) {
        Start(overwrite);
        worker_.Join();
        EXPECT_EQ(files_.openFiles.load(), 0) << "a file was left open";
    }

    std::set<std::string> OutNames() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string Log() const { return ReadFile(logs_.path() / "apces.cnt"); }
    int Finish() const {
        return messages_.numbers.empty() || messages_.numbers.back() != copy::kCMProgressFinish
                   ? 0
                   : messages_.values.back();
    }
    // Positions grow and reach the maximum with the last one only.
    void ExpectEvenProgress() const {
        const auto& p = messages_.positions;
        ASSERT_FALSE(p.empty());
        for (std::size_t i = 1; i < p.size(); ++i)
            EXPECT_LT(p[i - 1], p[i]) << "at " << i;
        EXPECT_EQ(p.back(), copy::kProgressMax);
    }

    TempDir dir_;
    TempDir logs_;
    fs::path player_ = dir_ / "player";
    fs::path out_ = dir_ / "out";
    std::vector<std::string> sources_;
    std::vector<std::string> targets_;
    FaultyFiles files_;
    Recorder messages_;
    TCopyThread worker_{messages_, files_};
};

} // namespace

TEST_F(CopyWorker, CopiesEveryEntryWholeAndReportsEachStep) {
    Plan("a.mp3", 70000);
    Plan("empty.wav", 0);
    Plan("b", 5000);
    Run(false);
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("a.mp3"), Out("empty.wav"), Out("b")}));
    EXPECT_EQ(worker_.Outcomes(), std::vector<TCopyOutcome>(3, TCopyOutcome::Copied));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(ReadFile(targets_[i]) == Source(i)) << i;
    EXPECT_EQ(OutNames(), (std::set<std::string>{"a.mp3", "empty.wav", "b"}));
    EXPECT_EQ(messages_.texts,
              (std::vector<std::string>{"(1/3) Copying a.mp3", "(2/3) Copying empty.wav",
                                        "(3/3) Copying b"}));
    EXPECT_EQ(messages_.Count(copy::kCMProgressMax), 3u);
    EXPECT_EQ(Finish(), copy::kCopyFinished);
    EXPECT_EQ(worker_.CopiedBytes(), 75000u);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, OverwritingReplacesEarlierFilesUnderThePlannedName) {
    WriteFile(out_ / "a.mp3", "old");
    Plan("a.mp3", 3000);
    Plan("a.mp3", 4000); // one name twice: the second replaces the first
    Run(true);
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("a.mp3"), Out("a.mp3")}));
    EXPECT_TRUE(ReadFile(out_ / "a.mp3") == Source(1));
    EXPECT_EQ(OutNames(), (std::set<std::string>{"a.mp3"}));
}

TEST_F(CopyWorker, NotOverwritingNumbersTheNameBeforeItsLastExtension) {
    for (const char* name : {"a.mp3", "a(1).mp3", "Drive", "Song.mp3.mp3"})
        WriteFile(out_ / name, name);
    Plan("a.mp3", 100);
    Plan("a.mp3", 200);
    Plan("Drive", 300);
    Plan("Song.mp3.mp3", 400);
    Run(false);
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("a(2).mp3"), Out("a(3).mp3"), Out("Drive(1)"),
                                                  Out("Song.mp3(1).mp3")}));
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(ReadFile(targets_[i]) == Source(i)) << i;
    for (const char* name : {"a.mp3", "a(1).mp3", "Drive", "Song.mp3.mp3"})
        EXPECT_EQ(ReadFile(out_ / name), name) << "an earlier file changed";
}

TEST_F(CopyWorker, ANameTakenDuringTheCopyIsNeverReplaced) {
    Plan("a.mp3", 5000);
    messages_.onPosition = [&](int) {
        if (!fs::exists(out_ / "a.mp3"))
            WriteFile(out_ / "a.mp3", "someone else's");
    };
    Run(false);
    EXPECT_EQ(targets_[0], Out("a(1).mp3"));
    EXPECT_TRUE(ReadFile(out_ / "a(1).mp3") == Source(0));
    EXPECT_EQ(ReadFile(out_ / "a.mp3"), "someone else's");
}

TEST_F(CopyWorker, PausedItCopiesNothingAndAStopEndsTheEntryWithoutAFileOfIt) {
    Plan("first.mp3", 1000);
    Plan("big.mp3", 3 << 20);
    WriteFile(out_ / "big.mp3", "the user's own");
    Plan("last.mp3", 1000);
    messages_.onText = [&](int entry) {
        if (entry == 2)
            messages_.onPosition = [&](int) { worker_.Pause(); };
    };
    Start(true);
    while (!worker_.Parked())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::uint64_t copied = worker_.CopiedBytes();
    const std::size_t sent = messages_.Total();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(worker_.CopiedBytes(), copied);
    EXPECT_EQ(messages_.Total(), sent);
    worker_.SetStopCopy(true);
    worker_.Resume();
    worker_.Join();
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("first.mp3"), copy::kCopyTerminated,
                                                  copy::kCopyTerminated}));
    EXPECT_EQ(worker_.CurrentTarget(), Out("big.mp3"));
    EXPECT_EQ(ReadFile(out_ / "big.mp3"), "the user's own");
    EXPECT_EQ(OutNames(), (std::set<std::string>{"first.mp3", "big.mp3"}));
    EXPECT_EQ(Finish(), copy::kCopyStopped);
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
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("first.mp3"), copy::kCopyTerminated}));
    EXPECT_TRUE(ReadFile(out_ / "first.mp3") == Source(0));
    EXPECT_EQ(ReadFile(out_ / "second.mp3"), "kept");
    EXPECT_EQ(OutNames(), (std::set<std::string>{"first.mp3", "second.mp3"}));
    EXPECT_EQ(Finish(), copy::kCopyStopped);
}

TEST_F(CopyWorker, AnAbandonedJobLeavesNoFileAndSendsNoFinish) {
    Plan("big.mp3", 3 << 20);
    messages_.onPosition = [&](int) { worker_.Pause(); };
    Start(false);
    while (!worker_.Parked())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker_.Abandon();
    worker_.Join();
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(targets_[0], Out("big.mp3"));
    EXPECT_TRUE(OutNames().empty());
    EXPECT_EQ(files_.openFiles.load(), 0);
}

TEST_F(CopyWorker, RefusesAFileLargerThanTheFreeSpaceAndGoesOn) {
    files_.freeSpace = platform::Result<std::uint64_t>(10000);
    Plan("large.mp3", 20000);
    Plan("small.mp3", 5000);
    Run(false);
    EXPECT_EQ(targets_, (std::vector<std::string>{copy::kDiskspaceNotEnough, Out("small.mp3")}));
    EXPECT_EQ(OutNames(), (std::set<std::string>{"small.mp3"}));
    EXPECT_EQ(messages_.texts.size(), 2u);
    EXPECT_EQ(Finish(), copy::kCopyFinished);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, TriesTheCopyWhenTheFreeSpaceCannotBeAsked) {
    files_.freeSpace = platform::Result<std::uint64_t>(platform::Status::Error("no answer"));
    Plan("a.mp3", 5000);
    Run(false);
    EXPECT_TRUE(ReadFile(targets_[0]) == Source(0));
}

TEST_F(CopyWorker, AFailedFileIsReportedAndLoggedAndTheJobGoesOn) {
    struct Case {
        const char* what;
        std::optional<std::uint64_t> readFault, writeFault, shrinkTo;
        bool overwriteExisting;
        std::string reason;
    };
    const Case cases[] = {
        {"write fails half-way",
         {},
         30000,
         {},
         false,
         "the copy cannot be written: No space left on device"},
        {"read fails half-way",
         30000,
         {},
         {},
         false,
         "the source cannot be read: Input/output error"},
        {"source shrinks",
         {},
         {},
         1500000,
         false,
         "the source ended after 1500000 of 3145728 bytes"},
        {"overwrite whose copy fails",
         {},
         30000,
         {},
         true,
         "the copy cannot be written: No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Windows denies writers while the copy reads, so nobody can shrink the source there.
        if (c.shrinkTo && platform::kPathSeparator == '\\')
            continue;
        fs::remove(logs_.path() / "apces.cnt");
        TempDir dir;
        fs::create_directories(dir / "out");
        out_ = dir / "out";
        sources_.clear();
        targets_.clear();
        Recorder messages;
        FaultyFiles files;
        files.failReadAfter = c.readFault;
        files.failWriteAfter = c.writeFault;
        if (c.overwriteExisting)
            WriteFile(out_ / "bad.mp3", "the user's good file");
        const std::string source = Plan("bad.mp3", 3 << 20);
        Plan("good.mp3", 20000);
        if (c.shrinkTo)
            messages.onPosition = [&](int) {
                if (fs::file_size(source) > *c.shrinkTo)
                    fs::resize_file(source, *c.shrinkTo);
            };
        TCopyThread worker(messages, files);
        worker.SetSourceFiles(sources_);
        worker.SetTargetFiles(targets_);
        worker.SetOverWriteExistFile(c.overwriteExisting);
        ASSERT_TRUE(worker.Start().ok());
        worker.Join();
        EXPECT_EQ(targets_[0], copy::kCopyFailed + c.reason);
        EXPECT_EQ(worker.Outcomes()[0], TCopyOutcome::Failed);
        EXPECT_TRUE(ReadFile(targets_[1]) == Source(1));
        const std::set<std::string> left = c.overwriteExisting
                                               ? std::set<std::string>{"bad.mp3", "good.mp3"}
                                               : std::set<std::string>{"good.mp3"};
        EXPECT_EQ(OutNames(), left);
        if (c.overwriteExisting) {
            EXPECT_EQ(ReadFile(out_ / "bad.mp3"), "the user's good file");
        }
        EXPECT_NE(Log().find("Execute:" + source), std::string::npos) << Log();
        EXPECT_EQ(files.openFiles.load(), 0);
        EXPECT_EQ(messages.values.back(), copy::kCopyFinished);
        EXPECT_EQ(messages.positions.back(), copy::kProgressMax);
    }
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
    EXPECT_EQ(targets_,
              (std::vector<std::string>{Out("a.mp3"), copy::kSourceNotFound, Out("c.mp3")}));
    EXPECT_EQ(messages_.texts.size(), 2u);
    ExpectEvenProgress();
}

TEST_F(CopyWorker, AJobOfNoBytesEndsWithAFullBar) {
    Plan("empty.mp3", 0);
    sources_.push_back((player_ / "missing").string());
    targets_.push_back(Out("missing.mp3"));
    Run(false);
    EXPECT_EQ(targets_, (std::vector<std::string>{Out("empty.mp3"), copy::kSourceNotFound}));
    EXPECT_EQ(ReadFile(out_ / "empty.mp3"), "");
    EXPECT_EQ(messages_.positions, std::vector<int>{copy::kProgressMax});
    EXPECT_EQ(Finish(), copy::kCopyFinished);
}

TEST_F(CopyWorker, StartsOnceAndOnlyWithAWholeJob) {
    TCopyThread unset(messages_, files_);
    EXPECT_FALSE(unset.Start().ok());
    Plan("a.mp3", 10);
    targets_.push_back(Out("extra.mp3"));
    worker_.SetSourceFiles(sources_);
    worker_.SetTargetFiles(targets_);
    EXPECT_FALSE(worker_.Start().ok());
    targets_.pop_back();
    EXPECT_TRUE(worker_.Start().ok());
    EXPECT_FALSE(worker_.Start().ok());
    worker_.Join();
    EXPECT_TRUE(ReadFile(out_ / "a.mp3") == Source(0));
}
