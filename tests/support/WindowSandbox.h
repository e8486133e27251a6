#pragma once

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <filesystem>

namespace testsupport {

// A fresh temporary folder that also holds the window's own settings store and program folder
// (XDG_CONFIG_HOME and XDG_DATA_HOME point into it), for one test.
class WindowSandbox {
public:
    const std::filesystem::path& path() const { return scratch_.path(); }
    std::filesystem::path ProgramFolder() const { return path() / "data" / "kestrune"; }

private:
    TempDir scratch_;
    ScopedEnv config_{"XDG_CONFIG_HOME", (scratch_.path() / "config").string()};
    ScopedEnv data_{"XDG_DATA_HOME", (scratch_.path() / "data").string()};
};

} // namespace testsupport
