#pragma once

#include "core/settings/LayoutFile.h"
#include "core/settings/OptionRules.h"
#include "core/settings/RegistrySettings.h"
#include "platform/Status.h"

#include <array>
#include <string>

namespace settings {

// Where the two programs keep their settings: the registry key (the two switches and the
// program folder) and the layout file in the program folder. One interface, so a test can keep
// them in memory and the programs never care where they live.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;

    // Makes the program folder exist (a first run), then reads the key into settings; a value
    // missing leaves the one given.
    virtual platform::Status ReadRegistry(RegistrySettings& settings) = 0;
    virtual platform::Status WriteRegistry(const RegistrySettings& settings) = 0;
    virtual platform::Status ReadLayout(const std::string& programFolder, Layout& layout) = 0;
    virtual platform::Status WriteLayout(const std::string& programFolder,
                                         const std::array<int, kLayoutColumns>& widths) = 0;
};

// The registry (on Linux its stand-in file) and the layout file "ipdes.dll".
TSettingsStore& FileSettingsStore();

// Settings that live as long as the object, as a first run finds them until written.
class TMemorySettingsStore final : public TSettingsStore {
public:
    RegistrySettings registry{false, kDefaultOverWriteExistFile, ""};
    Layout layout;

    platform::Status ReadRegistry(RegistrySettings& settings) override;
    platform::Status WriteRegistry(const RegistrySettings& settings) override;
    platform::Status ReadLayout(const std::string& programFolder, Layout& layout) override;
    platform::Status WriteLayout(const std::string& programFolder,
                                 const std::array<int, kLayoutColumns>& widths) override;
};

} // namespace settings
