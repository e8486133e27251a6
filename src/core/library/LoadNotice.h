#pragma once

#include <optional>
#include <string>

struct TLoadReport;

namespace browser {

// What the status line says after a load that did not read every track: a short text for the
// line itself and the whole story (paths, the reader's reason) for its tooltip and the log.
struct LoadNotice {
    std::string status;
    std::string detail;
};

// Where the tracks came from, in words: "read from the files' own tags: the database is
// damaged".
std::string SourceText(const TLoadReport& report);

// Nothing after a load that read every announced track of a database.
std::optional<LoadNotice> NoticeOfLoad(const TLoadReport& report, const std::string& root);

} // namespace browser
