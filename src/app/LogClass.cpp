#include "app/LogClass.h"

#include "platform/Clock.h"
#include "platform/Profile.h"
#include "settings/ProgramFiles.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace app {
namespace {

constexpr char kLogFile[] = "apces.cnt";
constexpr char kSection[] = "Error Log";

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& Folder() {
    static std::string folder;
    return folder;
}

} // namespace

void TLogClass::SetProgramFolder(std::string folder) {
    std::lock_guard lock(LogMutex());
    Folder() = std::move(folder);
}

std::string TLogClass::ProgramFolder() {
    std::lock_guard lock(LogMutex());
    return Folder();
}

void TLogClass::WriteLog(const std::string& text) noexcept {
    try {
        // Held from the check for a free key to the write, so two threads never take one key.
        std::lock_guard lock(LogMutex());
        const auto file = settings::ProgramFile(Folder(), kLogFile);
        const auto stamp = platform::FormatLocalDateTime(std::chrono::system_clock::now());
        auto key = stamp;
        for (int n = 2; platform::ReadProfileString(file, kSection, key); ++n)
            key = stamp + " (" + std::to_string(n) + ")";

        // A line break would end the entry early and turn the rest into lines of their own.
        auto value = text;
        std::replace_if(
            value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        (void)platform::WriteProfileString(file, kSection, key, value);
    } catch (...) {
        // The log is the last resort for failures; there is nowhere left to report its own.
    }
}

} // namespace app
