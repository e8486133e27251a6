#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

// Sets an environment variable for one scope and puts the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            saved_ = old;
        Set(value.c_str());
    }
    ~ScopedEnv() { Set(saved_ ? saved_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) const {
#ifdef _WIN32
        _putenv_s(name_.c_str(), value ? value : "");
#else
        if (value)
            setenv(name_.c_str(), value, 1);
        else
            unsetenv(name_.c_str());
#endif
    }

    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace testsupport

namespace testsupport {

// The windowed program's settings store and program folder for one scope: XDG_CONFIG_HOME and
// XDG_DATA_HOME moved to "config" and "data" below `base` (the program folder is then
// data/kestrune).
class ScopedUserFolders {
public:
    explicit ScopedUserFolders(const std::string& base)
        : config_("XDG_CONFIG_HOME", base + "/config"), data_("XDG_DATA_HOME", base + "/data") {}

private:
    ScopedEnv config_;
    ScopedEnv data_;
};

} // namespace testsupport
