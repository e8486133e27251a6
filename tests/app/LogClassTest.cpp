#include "core/base/LogClass.h"

#include "platform/AppendFile.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/Profile.h"
#include "support/ProfileText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace {

using app::TLogClass;
using Entries = std::vector<std::pair<std::string, std::string>>;

constexpr char kSection[] = "Error Log";
const std::string kNl(platform::kNativeLineEnding);

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The key=value lines of a log's text, in file order, without their line endings.
Entries EntriesOf(const std::string& text) {
    Entries entries;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto equals = line.find('=');
        if (equals != std::string::npos && !line.starts_with(";"))
            entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return entries;
}

// The key of the bare time and its number: "t (3)" is {"t", 3}, "t" is {"t", 1}.
std::pair<std::string, int> SplitKey(const std::string& key) {
    const auto open = key.rfind(" (");
    if (open == std::string::npos || !key.ends_with(")"))
        return {key, 1};
    return {key.substr(0, open), std::stoi(key.substr(open + 2))};
}

// Old keys for this second and the next, so a test still holds when the clock ticks.
std::vector<std::string> StampsOfNow() {
    const auto now = std::chrono::system_clock::now();
    return {platform::FormatLocalDateTime(now),
            platform::FormatLocalDateTime(now + std::chrono::seconds(1))};
}

class LogClassTest : public ::testing::Test {
protected:
    LogClassTest() { TLogClass::SetProgramFolder(dir_.str()); }
    ~LogClassTest() override {
        TLogClass::SetProgramFolder("");
        TLogClass::SetMaxBytes(TLogClass::kDefaultMaxBytes);
    }

    std::filesystem::path File() const { return dir_ / "apces.cnt"; }
    std::filesystem::path OldFile() const { return dir_ / "apces.cnt.old"; }
    std::string ReadLog() const { return testsupport::ProfileLines(Slurp(File())); }

    testsupport::TempDir dir_;
};

TEST_F(LogClassTest, OneLineWithTheTextAsGiven) {
    TLogClass::WriteLog("ReadIniFile:Unable to write to x");
    const auto log = ReadLog();
    ASSERT_TRUE(log.starts_with("[Error Log]\n")) << log;
    const auto line = log.substr(12);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_TRUE(line.ends_with("=ReadIniFile:Unable to write to x\n")) << log;
}

TEST_F(LogClassTest, LineBreaksInTheTextStayOnOneLine) {
    TLogClass::WriteLog("Execute:first\r\nsecond");
    EXPECT_TRUE(ReadLog().ends_with("=Execute:first  second\n")) << ReadLog();
}

TEST_F(LogClassTest, EntriesOfOneSecondAllSurvive) {
    // Taken keys for this second and the next, in case the clock ticks meanwhile.
    const auto now = std::chrono::system_clock::now();
    std::ofstream(File(), std::ios::binary) << "[Error Log]\n";
    for (auto when : {now, now + std::chrono::seconds(1)}) {
        const auto key = platform::FormatLocalDateTime(when);
        std::ofstream(File(), std::ios::binary | std::ios::app) << key << "=old\n"
                                                                << key << " (2)=older\n";
    }
    TLogClass::WriteLog("new");
    TLogClass::WriteLog("newer");

    const auto log = ReadLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 7) << log;
    EXPECT_NE(log.find(" (3)=new\n"), std::string::npos) << log;
    EXPECT_NE(log.find("=newer\n"), std::string::npos) << log;
    EXPECT_NE(log.find("=old\n"), std::string::npos) << log;
}

TEST_F(LogClassTest, MissingFolderDropsTheEntrySilently) {
    const auto missing = dir_ / "gone";
    TLogClass::SetProgramFolder(missing.string());
    TLogClass::WriteLog("FormShow:lost");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(LogClassTest, EntriesOfOneSecondAreNumberedInOrderAndReadBackByTheIniReader) {
    for (int i = 0; i < 400; ++i)
        TLogClass::WriteLog("Execute:Bj\xC3\xB6rk " + std::to_string(i));

    const std::string text = Slurp(File());
    const Entries entries = EntriesOf(text);
    ASSERT_EQ(entries.size(), 400u);
    const platform::IniFile ini(text);
    std::string stamp;
    int expected = 1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [key, value] = entries[i];
        SCOPED_TRACE(key);
        EXPECT_EQ(value, "Execute:Bj\xC3\xB6rk " + std::to_string(i));
        // Within one second: the bare time, then " (2)", " (3)", ... in the order written.
        const auto [time, number] = SplitKey(key);
        expected = time == stamp ? expected + 1 : 1;
        stamp = time;
        EXPECT_EQ(number, expected);
        EXPECT_EQ(ini.Get(kSection, key), value);
        if (i % 40 == 0) { // the system's own profile call on Windows
            EXPECT_EQ(platform::ReadProfileString(File().string(), kSection, key), value);
        }
    }
}

// A log that holds the keys " (2)" and " (3)" of this second at its end.
struct SecondCase {
    const char* name;
    std::string older; // lines before this second's keys
    std::string ending;
    bool lastLineUnended;
};

TEST_F(LogClassTest, TheNextNumberOfThisSecondIsFoundAtTheEndOfAnyLog) {
    std::string longer;
    for (int i = 0; longer.size() < 200'000; ++i)
        longer += "1/1/2001 00:00:" + std::to_string(i) + "=Execute:older entry\n";
    const SecondCase cases[] = {
        {"longer than the part read", longer, "\n", false},
        {"written with CRLF", "", "\r\n", false},
        {"last line without its ending", longer, "\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto stamps = StampsOfNow();
        std::string original = "[Error Log]" + c.ending + c.older;
        for (const auto& stamp : stamps)
            original +=
                stamp + "=a" + c.ending + stamp + " (2)=b" + c.ending + stamp + " (3)=c" + c.ending;
        if (c.lastLineUnended)
            original.resize(original.size() - c.ending.size());
        Put(File(), original);

        TLogClass::WriteLog("new");

        const std::string text = Slurp(File());
        const std::string kept = original + (c.lastLineUnended ? c.ending : "");
        ASSERT_TRUE(text.starts_with(kept));
        const std::string added = text.substr(kept.size());
        EXPECT_TRUE(added == stamps[0] + " (4)=new" + c.ending ||
                    added == stamps[1] + " (4)=new" + c.ending)
            << added;
    }
}

// Logs of other shapes: the entry goes where the profile rules put the key. KEY stands for the
// entry's key.
TEST_F(LogClassTest, AnEntryGoesIntoTheLogSectionWhateverTheFileHolds) {
    const std::pair<const char*, const char*> cases[] = {
        {"; kept\n", "; kept\n[Error Log]\nKEY=new\n"},
        {"[error log]\na=1", "[error log]\na=1\nKEY=new\n"},
        {"\xEF\xBB\xBF[Error Log]\na=1\n", "\xEF\xBB\xBF[Error Log]\na=1\nKEY=new\n"},
        {"[Error Log]\na=1\n\n[Other]\nx=2\n", "[Error Log]\na=1\nKEY=new\n\n[Other]\nx=2\n"},
    };
    for (const auto& [original, expected] : cases) {
        SCOPED_TRACE(original);
        Put(File(), original);
        const auto stamps = StampsOfNow();
        TLogClass::WriteLog("new");

        const std::string text = Slurp(File());
        const std::string want = expected;
        const auto at = want.find("KEY");
        const auto early = std::string(want).replace(at, 3, stamps[0]);
        const auto late = std::string(want).replace(at, 3, stamps[1]);
        EXPECT_TRUE(text == early || text == late) << text;
        EXPECT_FALSE(std::filesystem::exists(OldFile()));
    }
}

TEST_F(LogClassTest, ALogBeyondWhatCouldBeReadWholeStillTakesEntries) {
    // An earlier version refused to read past 64 MB and dropped every later entry.
    Put(File(), "[Error Log]\n1/1/2001 00:00:00=Execute:old\n");
    std::filesystem::resize_file(File(), 65u * 1024 * 1024);

    TLogClass::WriteLog("Execute:new");

    const auto entries = EntriesOf(Slurp(File()));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().second, "Execute:new");
    EXPECT_EQ(platform::ReadProfileString(File().string(), kSection, entries.back().first),
              "Execute:new");
}

// Logs that cannot take one more line where they are: they move aside whole, and the new log
// begins with an entry that says why and where the rest went.
struct AsideCase {
    const char* name;
    std::string original;
    std::uint64_t maxBytes;
    bool oldExists;
    const char* reason;
};

TEST_F(LogClassTest, ALogThatCannotGrowMovesAsideWholeAndTheNewOneSaysSo) {
    std::string grown = "[Error Log]\n";
    while (grown.size() < 100'000)
        grown += "1/1/2001 00:00:" + std::to_string(grown.size()) + "=Execute:older entry\n";
    const AsideCase cases[] = {
        {"at its limit", grown, 100'000, false, "WriteLog:The log reached 100000 bytes; "},
        {"at its limit, with an older one aside", grown, 4096, true,
         "WriteLog:The log reached 4096 bytes; "},
        {"long, ending in another section", grown + "[Other]\nx=1\n", TLogClass::kDefaultMaxBytes,
         false, "WriteLog:The log did not end in its [Error Log] section; "},
        {"UTF-16 text", std::string("\xFF\xFE[\0E\0]\0\r\0\n\0", 12), TLogClass::kDefaultMaxBytes,
         false, "WriteLog:The log was UTF-16 text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(OldFile());
        if (c.oldExists)
            Put(OldFile(), "[Error Log]\nx=older still\n");
        Put(File(), c.original);
        TLogClass::SetMaxBytes(c.maxBytes);

        TLogClass::WriteLog("Execute:new");

        EXPECT_EQ(Slurp(OldFile()), c.original);
        const auto entries = EntriesOf(Slurp(File()));
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_TRUE(entries[0].second.starts_with(c.reason)) << entries[0].second;
        EXPECT_NE(entries[0].second.find("moved to apces.cnt.old"), std::string::npos);
        EXPECT_EQ(entries[0].second.find("replacing") != std::string::npos, c.oldExists);
        EXPECT_EQ(entries[1],
                  std::make_pair(entries[0].first + " (2)", std::string("Execute:new")));
    }
}

TEST_F(LogClassTest, MovingAsideKeepsTheNewestAndNotesEveryLoss) {
    TLogClass::SetMaxBytes(2000);
    const int count = 200;
    for (int i = 0; i < count; ++i)
        TLogClass::WriteLog("Execute:entry " + std::to_string(i));

    EXPECT_LT(std::filesystem::file_size(File()), 2000u + 200u);
    // Both files together: a note, the entries up to the move, a note, the newest entries.
    Entries both = EntriesOf(Slurp(OldFile()));
    const Entries live = EntriesOf(Slurp(File()));
    both.insert(both.end(), live.begin(), live.end());
    ASSERT_GT(both.size(), 3u);
    EXPECT_TRUE(both.front().second.starts_with("WriteLog:")) << "an older loss unnoted";
    EXPECT_TRUE(live.front().second.starts_with("WriteLog:"));
    int next = -1;
    for (const auto& [key, value] : both) {
        if (value.starts_with("WriteLog:"))
            continue;
        const int number = std::stoi(value.substr(std::string("Execute:entry ").size()));
        EXPECT_TRUE(next < 0 || number == next) << value;
        next = number + 1;
    }
    EXPECT_EQ(next, count) << "the newest entry is missing";
}

TEST_F(LogClassTest, TwoThreadsWritingAtOnceLoseNoEntry) {
    // With the default limit, and with one at which the log moves aside once meanwhile.
    for (const std::uint64_t limit : {TLogClass::kDefaultMaxBytes, std::uint64_t{40'000}}) {
        SCOPED_TRACE(limit);
        std::filesystem::remove(File());
        std::filesystem::remove(OldFile());
        TLogClass::SetMaxBytes(limit);
        const int perThread = 300;
        auto writer = [](int thread) {
            for (int i = 0; i < perThread; ++i)
                TLogClass::WriteLog("Execute:thread " + std::to_string(thread) + " entry " +
                                    std::to_string(i) + " " + std::string(40, 'x'));
        };
        std::thread first(writer, 1);
        std::thread second(writer, 2);
        first.join();
        second.join();

        std::set<std::string> values;
        for (const auto& path : {OldFile(), File()}) {
            std::set<std::string> keys;
            for (const auto& [key, value] : EntriesOf(Slurp(path))) {
                EXPECT_TRUE(keys.insert(key).second) << "key taken twice: " << key;
                if (!value.starts_with("WriteLog:")) {
                    EXPECT_TRUE(values.insert(value).second) << value;
                }
            }
        }
        EXPECT_EQ(values.size(), 2u * perThread);
        EXPECT_EQ(std::filesystem::exists(OldFile()), limit != TLogClass::kDefaultMaxBytes);
    }
}

} // namespace
