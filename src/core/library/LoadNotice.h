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

// Nothing after a load that read every announced track.
std::optional<LoadNotice> NoticeOfLoad(const TLoadReport& report, const std::string& root);

} // namespace browser
