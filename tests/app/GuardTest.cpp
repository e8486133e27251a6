#include "core/base/Guard.h"

#include "support/ProfileText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

using app::Guard;

class GuardTest : public ::testing::Test {
protected:
    GuardTest() { app::TLogClass::SetProgramFolder(dir_.str()); }
    ~GuardTest() override { app::TLogClass::SetProgramFolder(""); }

    std::string LogEntries() const {
        std::ifstream in(dir_ / "apces.cnt", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const auto log = testsupport::ProfileLines(text.str());
        return log.empty() ? log : log.substr(log.find('\n') + 1);
    }

    testsupport::TempDir dir_;
};

TEST_F(GuardTest, SuccessLogsNothing) {
    EXPECT_TRUE(Guard("DisPlaySongs:", [] {}));
    EXPECT_TRUE(Guard("ReadIniFile:", [] { return platform::Status::Ok(); }));
    EXPECT_EQ(LogEntries(), "");
}

TEST_F(GuardTest, FailedStatusLogsPrefixAndMessage) {
    EXPECT_FALSE(Guard("WriteIniFile:", [] { return platform::Status::Error("Unable to write"); }));
    EXPECT_TRUE(LogEntries().ends_with("=WriteIniFile:Unable to write\n")) << LogEntries();
}

TEST_F(GuardTest, FailedResultLogsPrefixAndMessage) {
    EXPECT_FALSE(
        Guard("FormShow:", [] { return platform::Result<int>(platform::Status::Error("no")); }));
    EXPECT_TRUE(LogEntries().ends_with("=FormShow:no\n")) << LogEntries();
}

TEST_F(GuardTest, StandardExceptionIsLogged) {
    EXPECT_FALSE(Guard("Execute:", [] { throw std::runtime_error("disk full"); }));
    EXPECT_TRUE(LogEntries().ends_with("=Execute:disk full\n")) << LogEntries();
}

TEST_F(GuardTest, OtherThrownTypesTravelOn) {
    EXPECT_THROW(Guard("Execute:", [] { throw 42; }), int);
    EXPECT_EQ(LogEntries(), "");
}

} // namespace
