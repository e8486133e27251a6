#include "support/RunProgram.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::ScopedEnv;

TEST(WindowProgram, AnswersVersionWithoutADisplay) {
    // With the X11 platform and no display, a Qt application object cannot be made: the answer
    // must come before it.
    const ScopedEnv platform("QT_QPA_PLATFORM", "xcb");
    const ScopedEnv display("DISPLAY", "");
    const ScopedEnv wayland("WAYLAND_DISPLAY", "");
    testsupport::TempDir scratch;
    auto run = testsupport::RunProgram(KESTRUNE_GUI_PATH, {"--version"}, scratch.path());
#ifdef _WIN32
    // Its standard output is in text mode, which ends lines with CR LF there.
    std::erase(run.out, '\r');
#endif
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(run.out.starts_with(std::string("kestrune ") + KESTRUNE_VERSION + "\n")) << run.out;
    EXPECT_NE(run.out.find("\nAbout: file://"), std::string::npos) << run.out;
}

} // namespace
