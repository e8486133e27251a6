#pragma once

#include <cstdint>
#include <string>

namespace app {

// The error log "apces.cnt" in the program folder: section "Error Log", one line per entry,
// keyed by the local date and time to the second. Called from the main thread and the copy
// worker.
//
// An entry is appended to the end of the file, so its cost does not grow with the log. Once the
// log has reached its size limit, the next entry first moves it aside to "apces.cnt.old"
// (replacing an earlier one) and starts a new log with an entry that says so.
//
// One lock serialises the entries of this process. It is held only while one entry is
// written, and nothing is called out of the log meanwhile, so a thread paused anywhere outside
// WriteLog never holds it.
class TLogClass {
public:
    TLogClass() = delete;

    static constexpr std::uint64_t kDefaultMaxBytes = 8u * 1024 * 1024;

    // Never fails as far as the caller can tell: an entry that cannot be written is lost.
    // A second entry within the same second gets the key " (2)", " (3)", ... after the time.
    // Line breaks in the text become blanks.
    static void WriteLog(const std::string& text) noexcept;

    static void SetProgramFolder(std::string folder);
    static std::string ProgramFolder();

    // The size from which the log moves aside before its next entry.
    static void SetMaxBytes(std::uint64_t bytes);
};

} // namespace app
