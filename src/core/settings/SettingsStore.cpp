#include "core/settings/SettingsStore.h"

namespace settings {
namespace {

class FileStore final : public TSettingsStore {
public:
    // Stands in for the installer: the key and the program folder exist from the first run.
    platform::Status ReadRegistry(RegistrySettings& settings) override {
        const platform::Status prepared = EnsureProgramFolder();
        const platform::Status read = settings::ReadRegistry(settings);
        return read.ok() ? prepared : read;
    }
    platform::Status WriteRegistry(const RegistrySettings& settings) override {
        return settings::WriteRegistry(settings);
    }
    platform::Status ReadLayout(const std::string& programFolder, Layout& layout) override {
        return ReadIniFile(programFolder, layout);
    }
    platform::Status WriteLayout(const std::string& programFolder,
                                 const std::array<int, kLayoutColumns>& widths) override {
        return WriteIniFile(programFolder, widths);
    }
};

} // namespace

TSettingsStore& FileSettingsStore() {
    static FileStore store;
    return store;
}

platform::Status TMemorySettingsStore::ReadRegistry(RegistrySettings& settings) {
    settings = registry;
    return platform::Status::Ok();
}

platform::Status TMemorySettingsStore::WriteRegistry(const RegistrySettings& settings) {
    registry.DBClickPlaySong = settings.DBClickPlaySong;
    registry.OverWriteExistFile = settings.OverWriteExistFile;
    return platform::Status::Ok();
}

platform::Status TMemorySettingsStore::ReadLayout(const std::string&, Layout& into) {
    into = layout;
    if (into.ColWidthList.empty()) {
        into.ColWidthList.assign(kLayoutColumns, browser::kDefaultColumnWidth);
        into.ColWidthList[0] = 0;
    }
    return platform::Status::Ok();
}

platform::Status TMemorySettingsStore::WriteLayout(const std::string&,
                                                   const std::array<int, kLayoutColumns>& widths) {
    layout.ColWidthList.assign(widths.begin(), widths.end());
    layout.ColWidthList[0] = 0;
    return platform::Status::Ok();
}

} // namespace settings
