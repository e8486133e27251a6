#pragma once

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {

#ifdef _WIN32

// The real HKEY_CURRENT_USER\Software\Kestrune, deleted with everything under it before and
// after each test, so each one starts without the key. The tests run under Wine in a prefix of
// the build's own, so no user's settings are at stake.
class RegistrySandbox {
public:
    RegistrySandbox() { Clear(); }
    ~RegistrySandbox() { Clear(); }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Nothing was stored: the key was never made.
    bool Untouched() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return true;
        RegCloseKey(key);
        return false;
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Kestrune";
    static void Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
};

#else

// The registry stand-in's file, moved to a fresh folder for each test through XDG_CONFIG_HOME.
class RegistrySandbox {
public:
    RegistrySandbox() = default;
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Nothing was stored: the store file was never written.
    bool Untouched() const {
        return !std::filesystem::exists(config_ / "kestrune" / "registry.reg");
    }

private:
    TempDir config_;
    ScopedEnv configHome_{"XDG_CONFIG_HOME", config_.str()};
};

#endif

} // namespace testsupport
