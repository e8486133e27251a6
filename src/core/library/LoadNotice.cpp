#include "core/library/LoadNotice.h"

#include "core/device/TiPod.h"

namespace browser {

namespace {

// Why the tracks come from the files' own tags.
std::string WhyFromFiles(const TLoadReport& report) {
    if (report.filesAsked)
        return "as asked";
    switch (report.outcome) {
    case TLoadReport::Outcome::Missing:
        return "there is no database";
    case TLoadReport::Outcome::Unreadable:
        return "the database cannot be read";
    case TLoadReport::Outcome::Damaged:
    case TLoadReport::Outcome::Loaded:
        break;
    }
    return "the database is damaged";
}

} // namespace

std::string SourceText(const TLoadReport& report) {
    switch (report.source) {
    case TLoadReport::Source::Files:
        return "read from the files' own tags: " + WhyFromFiles(report);
    case TLoadReport::Source::ShuffleDatabase:
        return "read from the shuffle database iTunesSD";
    case TLoadReport::Source::CompressedDatabase:
        return "read from the compressed database iTunesCDB";
    case TLoadReport::Source::Database:
    case TLoadReport::Source::None:
        break;
    }
    return "read from the database iTunesDB";
}

std::optional<LoadNotice> NoticeOfLoad(const TLoadReport& report, const std::string& root) {
    // The status line is short; its tooltip and the log say it whole.
    const std::string count = std::to_string(report.read + report.fromFiles) + " tracks";
    if (report.source == TLoadReport::Source::Files ||
        report.source == TLoadReport::Source::ShuffleDatabase) {
        const bool files = report.source == TLoadReport::Source::Files;
        std::string status = files ? count + " from the files' tags" : count + " from iTunesSD";
        if (files && report.outcome == TLoadReport::Outcome::Missing && !report.filesAsked)
            status = "No database: " + status;
        std::string detail = count + " " + SourceText(report) + " in " + root;
        if (!report.message.empty())
            detail += " (" + report.message + ")";
        return LoadNotice{status, detail};
    }
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
        std::string detail = status + " from " + report.path + ": " + report.message;
        if (report.fromFiles > 0)
            detail += "; " + std::to_string(report.fromFiles) +
                      " more tracks read from the files' own tags";
        return LoadNotice{status, detail};
    }
    }
    return std::nullopt;
}

} // namespace browser
