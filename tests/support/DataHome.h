#pragma once

#include "support/ScopedEnv.h"

#include <string>

namespace testsupport {

#ifdef _WIN32
inline constexpr char kDataHomeVariable[] = "LOCALAPPDATA";
inline constexpr char kProgramFolderName[] = "\\Kestrune";
#else
inline constexpr char kDataHomeVariable[] = "XDG_DATA_HOME";
inline constexpr char kProgramFolderName[] = "/kestrune";
#endif

// Moves the per-user data folder (XDG_DATA_HOME, on Windows LOCALAPPDATA) for one scope, and
// says where the program's default folder then is.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const std::string& base) : base_(base), env_(kDataHomeVariable, base) {}

    std::string ProgramFolder() const { return base_ + kProgramFolderName; }

private:
    std::string base_;
    ScopedEnv env_;
};

} // namespace testsupport
