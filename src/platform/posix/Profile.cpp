#include "platform/Profile.h"

#include "platform/Files.h"
#include "platform/IniFile.h"

#include <mutex>

namespace platform {
namespace {

// Far beyond the size of the program's own profile files: such a file is refused rather than read
// whole.
constexpr std::uint64_t kMaxProfileBytes = 64u * 1024 * 1024;

// Nothing means the file exists but could not be read.
std::optional<IniFile> Load(const std::string& file) {
    if (!FileExists(file))
        return IniFile();
    auto bytes = ReadWholeFile(file, kMaxProfileBytes);
    if (!bytes)
        return std::nullopt;
    return IniFile(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

// One read-change-write at a time, so two threads writing one file lose no key.
std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key) {
    const auto ini = Load(file);
    if (!ini)
        return std::nullopt;
    return ini->Get(section, key);
}

Status WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view value) {
    std::lock_guard lock(WriteMutex());
    auto ini = Load(file);
    // A file we cannot read is never replaced: its other lines would be lost.
    if (!ini || !ini->Set(section, key, value) || !WriteWholeFile(file, ini->Text()))
        return Status::Error("Unable to write to " + file);
    return Status::Ok();
}

} // namespace platform
