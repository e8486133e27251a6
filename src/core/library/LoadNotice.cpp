#include "core/library/LoadNotice.h"

#include "core/device/TiPod.h"

namespace browser {

std::optional<LoadNotice> NoticeOfLoad(const TLoadReport& report, const std::string& root) {
    switch (report.outcome) {
    case TLoadReport::Outcome::Loaded:
        return std::nullopt;
    case TLoadReport::Outcome::Missing:
        return LoadNotice{"No track database on this iPod",
                          "No track database (iPod_Control/iTunes/iTunesDB) in " + root};
    case TLoadReport::Outcome::Unreadable:
        return LoadNotice{"Cannot read the track database", report.message};
    case TLoadReport::Outcome::Damaged: {
        const std::string status = "Damaged database: " + std::to_string(report.read) + " of " +
                                   std::to_string(report.announced) + " tracks read";
        return LoadNotice{status, status + " from " + report.path + ": " + report.message};
    }
    }
    return std::nullopt;
}

} // namespace browser
