#include "app/LogClass.h"

#include "platform/Clock.h"
#include "support/ProfileText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using app::TLogClass;

class LogClassTest : public ::testing::Test {
protected:
    LogClassTest() { TLogClass::SetProgramFolder(dir_.str()); }
    ~LogClassTest() override { TLogClass::SetProgramFolder(""); }

    std::filesystem::path File() const { return dir_ / "apces.cnt"; }
    std::string ReadLog() const {
        std::ifstream in(File(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return testsupport::ProfileLines(text.str());
    }

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

} // namespace
