#include "support/RunProgram.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

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

#ifndef _WIN32
// Whether done() holds within ten seconds.
template <typename F> bool Within10s(F done) {
    for (int tries = 0; tries < 1000; ++tries) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(WindowProgram, EndsAsAClosedWindowWhenAskedToEnd) {
    for (const int request : {SIGTERM, SIGHUP}) {
        testsupport::TempDir scratch;
        const ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
        const ScopedEnv data("XDG_DATA_HOME", (scratch.path() / "data").string());
        const ScopedEnv config("XDG_CONFIG_HOME", (scratch.path() / "config").string());
        std::string program = KESTRUNE_GUI_PATH;
        char* argv[] = {program.data(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
        // The window writes its layout when it closes; the program folder exists once the
        // window does, and the request is caught before that.
        const auto layout = scratch.path() / "data" / "kestrune" / "ipdes.dll";
        EXPECT_TRUE(Within10s([&] { return std::filesystem::exists(layout.parent_path()); }));
        ::kill(child, request);
        int status = 0;
        const bool ended = Within10s([&] { return ::waitpid(child, &status, WNOHANG) == child; });
        if (!ended) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << strsignal(request);
        EXPECT_TRUE(std::filesystem::exists(layout)) << strsignal(request);
    }
}
#endif

} // namespace
