#pragma once

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <filesystem>

#ifdef _WIN32
#include "core/settings/RegistrySettings.h"

#include <string>
#include <windows.h>
#endif

namespace testsupport {

#ifdef _WIN32

// The program's settings moved to a registry key of this scope's own under HKEY_CURRENT_USER
// (Software\Kestrune-test-<process>-<n>), deleted with everything under it afterwards, so test
// programs running side by side never share a key.
class ScopedRegistryKey {
public:
    ScopedRegistryKey() : name_(NewName()) { settings::SetRegistryKeyName(name_); }
    ~ScopedRegistryKey() {
        settings::SetRegistryKeyName("");
        RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(name_.begin(), name_.end()).c_str());
    }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

private:
    static std::string NewName() {
        static int count = 0;
        return std::string(settings::kRegistryKey) + "-test-" +
               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    }

    std::string name_; // ASCII only
};

#endif

// A fresh temporary folder that also holds the window's own settings store and program folder,
// for one test: on Linux XDG_CONFIG_HOME and XDG_DATA_HOME point into it; on Windows
// LOCALAPPDATA does, and the settings live in a registry key of the test's own, whose first run
// names the program folder below LOCALAPPDATA.
class WindowSandbox {
public:
    const std::filesystem::path& path() const { return scratch_.path(); }
#ifdef _WIN32
    std::filesystem::path ProgramFolder() const {
        return path() / "data" / "Kestrune";
    }
#else
    std::filesystem::path ProgramFolder() const {
        return path() / "data" / "kestrune";
    }
#endif

private:
    TempDir scratch_;
#ifdef _WIN32
    ScopedEnv data_{"LOCALAPPDATA", (scratch_.path() / "data").string()};
    ScopedRegistryKey key_;
#else
    ScopedEnv config_{"XDG_CONFIG_HOME", (scratch_.path() / "config").string()};
    ScopedEnv data_{"XDG_DATA_HOME", (scratch_.path() / "data").string()};
#endif
};

} // namespace testsupport
