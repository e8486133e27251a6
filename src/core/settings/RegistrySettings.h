#pragma once

#include "platform/Status.h"

#include <string>

namespace settings {

// The flat folder of every copy named after its title.
inline constexpr char kDefaultCopyLayout[] = "{title}";

// Under HKEY_CURRENT_USER.
inline constexpr char kRegistryKey[] = "Software\\Kestrune";

// The key the functions below use: kRegistryKey, unless a test moved them to a key of its own
// (so that tests running side by side, or a user's real settings, never meet). An empty name
// puts kRegistryKey back.
const std::string& RegistryKeyName();
void SetRegistryKeyName(const std::string& name);

struct RegistrySettings {
    bool DBClickPlaySong = false;
    bool OverWriteExistFile = false;
    std::string ProgramFolder;
    // The copy's choices beyond the two switches: where copies go below the target folder,
    // whether copies already there are skipped, whether playlists are written.
    std::string CopyLayout = kDefaultCopyLayout;
    bool SkipExisting = false;
    bool WritePlaylists = false;
};

// Fills the two switches and the program folder from the key. A missing key or value gives the
// defaults (false, true, empty) and succeeds; a switch counts only when stored as a 32-bit
// integer. "ExeFile" of a kind other than text fails, leaving ProgramFolder as it was.
platform::Status ReadRegistry(RegistrySettings& settings);

// Stores the two switches as 1 or 0, then "CopyLayout" (text), "SkipExisting" and
// "WritePlaylists"; fails at the first value that cannot be written (all of them when the key
// is missing). "ExeFile" is never written here. Reading takes the copy's choices as the
// switches: a value missing or of another kind gives the default.
platform::Status WriteRegistry(const RegistrySettings& settings);

// The first-run step that stands in for an installer: creates the key and its "ExeFile" value,
// naming the per-user default folder, when either is missing, and creates the default folder
// when "ExeFile" names it. An existing "ExeFile" is never changed.
platform::Status EnsureProgramFolder();

} // namespace settings
