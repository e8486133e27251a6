#include "core/settings/RegistrySettings.h"

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

namespace settings {
namespace {

constexpr char kDBClickPlaySong[] = "DBClickPlaySong";
constexpr char kOverWriteExistFile[] = "OverWriteExistFile";
constexpr char kExeFile[] = "ExeFile";
constexpr char kCopyLayout[] = "CopyLayout";
constexpr char kSkipExisting[] = "SkipExisting";
constexpr char kWritePlaylists[] = "WritePlaylists";

bool ReadSwitch(const platform::RegistryKey& key, const std::string& name, bool def) {
    if (key.KindOf(name) != platform::RegValueKind::Dword)
        return def;
    return key.ReadDword(name) != 0;
}

platform::Status InvalidType(const std::string& name) {
    return platform::Status::Error("Invalid data type for '" + name + "'");
}

std::string& KeyName() {
    static std::string name = kRegistryKey;
    return name;
}

} // namespace

const std::string& RegistryKeyName() {
    return KeyName();
}

void SetRegistryKeyName(const std::string& name) {
    KeyName() = name.empty() ? kRegistryKey : name;
}

platform::Status ReadRegistry(RegistrySettings& settings) {
    const auto key = platform::RegistryKey::OpenExisting(RegistryKeyName());
    if (!key) {
        settings.DBClickPlaySong = false;
        settings.OverWriteExistFile = true;
        settings.ProgramFolder.clear();
        return platform::Status::Ok();
    }
    settings.DBClickPlaySong = ReadSwitch(*key, kDBClickPlaySong, false);
    settings.OverWriteExistFile = ReadSwitch(*key, kOverWriteExistFile, true);
    settings.SkipExisting = ReadSwitch(*key, kSkipExisting, false);
    settings.WritePlaylists = ReadSwitch(*key, kWritePlaylists, false);
    settings.CopyLayout = key->KindOf(kCopyLayout) == platform::RegValueKind::String
                              ? key->ReadString(kCopyLayout)
                              : std::string(kDefaultCopyLayout);
    switch (key->KindOf(kExeFile)) {
    case platform::RegValueKind::Missing:
        settings.ProgramFolder.clear();
        return platform::Status::Ok();
    case platform::RegValueKind::String:
        settings.ProgramFolder = key->ReadString(kExeFile);
        return platform::Status::Ok();
    default:
        return InvalidType(kExeFile);
    }
}

platform::Status WriteRegistry(const RegistrySettings& settings) {
    auto key = platform::RegistryKey::OpenExisting(RegistryKeyName());
    if (!key)
        return platform::Status::Error(std::string("Failed to set data for '") + kDBClickPlaySong +
                                       "'");
    if (auto status = key->WriteDword(kDBClickPlaySong, settings.DBClickPlaySong ? 1 : 0); !status)
        return status;
    if (auto status = key->WriteDword(kOverWriteExistFile, settings.OverWriteExistFile ? 1 : 0);
        !status)
        return status;
    if (auto status = key->WriteString(kCopyLayout, settings.CopyLayout); !status)
        return status;
    if (auto status = key->WriteDword(kSkipExisting, settings.SkipExisting ? 1 : 0); !status)
        return status;
    return key->WriteDword(kWritePlaylists, settings.WritePlaylists ? 1 : 0);
}

platform::Status EnsureProgramFolder() {
    auto key = platform::RegistryKey::Create(RegistryKeyName());
    if (!key)
        return key.status();
    const auto defaultFolder = platform::DefaultProgramFolder();
    switch (key->KindOf(kExeFile)) {
    case platform::RegValueKind::Missing:
        if (auto status = key->WriteString(kExeFile, defaultFolder); !status)
            return status;
        break;
    case platform::RegValueKind::String:
        break;
    default:
        return InvalidType(kExeFile);
    }

    const auto folder = key->ReadString(kExeFile);
    if (platform::DirectoryExists(folder))
        return platform::Status::Ok();
    // Only our own default folder is made; a folder an installer named that has gone away is
    // reported rather than silently recreated somewhere it may not belong.
    if (folder == defaultFolder)
        return platform::CreateDirectories(folder);
    return platform::Status::Error("The program folder " + folder + " does not exist");
}

} // namespace settings
