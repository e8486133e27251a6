#pragma once

#include <string>

namespace app {

// The error log "apces.cnt" in the program folder: section "Error Log", one line per entry,
// keyed by the local date and time to the second. Called from the main thread and the copy
// worker.
class TLogClass {
public:
    TLogClass() = delete;

    // Never fails as far as the caller can tell: an entry that cannot be written is lost.
    // A second entry within the same second gets the key " (2)", " (3)", ... after the time.
    static void WriteLog(const std::string& text) noexcept;

    static void SetProgramFolder(std::string folder);
    static std::string ProgramFolder();
};

} // namespace app
