#include "core/library/LoadNotice.h"

#include "core/device/TiPod.h"

#include <gtest/gtest.h>

namespace {

TLoadReport Report(TLoadReport::Outcome outcome) {
    TLoadReport report;
    report.outcome = outcome;
    return report;
}

TEST(LoadNotices, NoneAfterAFullLoad) {
    EXPECT_FALSE(browser::NoticeOfLoad(Report(TLoadReport::Outcome::Loaded), "/p"));
}

TEST(LoadNotices, SayWhyInWordsAndKeepTheWholeStoryForTheTooltip) {
    const auto missing = browser::NoticeOfLoad(Report(TLoadReport::Outcome::Missing), "/m/B");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, "No track database on this iPod");
    EXPECT_EQ(missing->detail, "No track database (iPod_Control/iTunes/iTunesDB) in /m/B");

    TLoadReport unreadable = Report(TLoadReport::Outcome::Unreadable);
    unreadable.message = "Cannot open file /m/B/iPod_Control/iTunes/iTunesDB: Is a directory";
    const auto cannot = browser::NoticeOfLoad(unreadable, "/m/B");
    ASSERT_TRUE(cannot);
    EXPECT_EQ(cannot->status, "Cannot read the track database");
    EXPECT_EQ(cannot->detail, unreadable.message);

    TLoadReport damaged = Report(TLoadReport::Outcome::Damaged);
    damaged.path = "/m/B/iPod_Control/iTunes/iTunesDB";
    damaged.read = 12;
    damaged.announced = 5375;
    damaged.message = "track 13 of 5375: its header length is out of range";
    const auto broken = browser::NoticeOfLoad(damaged, "/m/B");
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->status, "Damaged database: 12 of 5375 tracks read");
    EXPECT_EQ(broken->detail, "Damaged database: 12 of 5375 tracks read from "
                              "/m/B/iPod_Control/iTunes/iTunesDB: track 13 of 5375: its header "
                              "length is out of range");
    // Each status fits the line without being cut.
    for (const auto* notice : {&*missing, &*cannot, &*broken})
        EXPECT_LE(notice->status.size(), 46u);
}

// Tracks that did not come from a database say where they came from, and why.
TEST(LoadNotices, SayWhereTracksFromElsewhereCameFrom) {
    using Source = TLoadReport::Source;
    struct Case {
        TLoadReport::Outcome outcome;
        Source source;
        std::int32_t fromFiles;
        const char* status;
        const char* detail;
    };
    const Case cases[] = {
        {TLoadReport::Outcome::Missing, Source::Files, 13,
         "No database: 13 tracks from the files' tags",
         "13 tracks read from the files' own tags: there is no database in /m/B"},
        {TLoadReport::Outcome::Unreadable, Source::Files, 2, "2 tracks from the files' tags",
         "2 tracks read from the files' own tags: the database cannot be read in /m/B"},
        {TLoadReport::Outcome::Missing, Source::ShuffleDatabase, 0, "5 tracks from iTunesSD",
         "5 tracks read from the shuffle database iTunesSD in /m/B"},
        {TLoadReport::Outcome::Damaged, Source::Database, 30,
         "Damaged database: 5 of 9 tracks read",
         "Damaged database: 5 of 9 tracks read from /db: cut; 30 more tracks read from the "
         "files' own tags"},
    };
    for (const Case& c : cases) {
        TLoadReport report = Report(c.outcome);
        report.source = c.source;
        report.fromFiles = c.fromFiles;
        report.read = c.source == Source::Files ? 0 : 5;
        report.announced = 9;
        if (c.outcome == TLoadReport::Outcome::Damaged)
            report.path = "/db", report.message = "cut";
        const auto notice = browser::NoticeOfLoad(report, "/m/B");
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->status, c.status);
        EXPECT_EQ(notice->detail, c.detail);
        EXPECT_LE(notice->status.size(), 46u);
    }
}

} // namespace
