#include "core/library/PlayerModel.h"

#include "DatabaseBuilder.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> TwoTracks() {
    dbbuild::DatabaseBuilder builder;
    builder.AddTrack(dbbuild::MakeTrack(1, {{1, "One"}, {2, ":iPod_Control:Music:F00:A.mp3"}}));
    builder.AddTrack(dbbuild::MakeTrack(2, {{1, "Two"}, {2, ":iPod_Control:Music:F00:B.mp3"}}));
    return builder.Build();
}

std::vector<device::FoundPlayer> Found(std::initializer_list<std::string> roots) {
    std::vector<device::FoundPlayer> players;
    for (const std::string& root : roots)
        players.push_back({root, " []  " + root, false});
    return players;
}

} // namespace

// What the window and the command line make of each kind of database: a missing or unreadable
// one never leaves another player's tracks under this root.
TEST(PlayerModel, LoadDecidesWhatADatabaseMeans) {
    const auto whole = TwoTracks();
    // Cut inside the second track's item.
    const std::string bytes(whole.begin(), whole.end());
    const std::size_t at = bytes.find("mhit", bytes.find("mhit") + 4);
    ASSERT_NE(at, std::string::npos);
    std::vector<std::uint8_t> cut(whole.begin(),
                                  whole.begin() + static_cast<std::ptrdiff_t>(at) + 8);
    struct Case {
        const char* kind;
        std::function<void(const fs::path&)> make;
        std::int32_t tracks;
        bool listable, hasDatabase, notice;
    };
    const Case cases[] = {
        {"whole", [&](const fs::path& r) { testsupport::WriteDatabase(r, whole); }, 2, true, true,
         false},
        {"cut", [&](const fs::path& r) { testsupport::WriteDatabase(r, cut); }, 1, true, true,
         true},
        {"missing", [](const fs::path&) {}, 0, false, false, true},
        {"a folder",
         [](const fs::path& r) { fs::create_directories(r / "iPod_Control/iTunes/iTunesDB"); }, 0,
         false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        testsupport::TempDir first, second;
        testsupport::WriteDatabase(first.path(), whole);
        c.make(second.path());
        browser::TPlayerModel model;
        model.Choose(first.str());
        ASSERT_EQ(model.Load().report.outcome, TLoadReport::Outcome::Loaded);
        model.Choose(second.str());
        const browser::TPlayerLoad load = model.Load();
        EXPECT_EQ(model.Library().GetSongCount(), c.tracks);
        EXPECT_EQ(model.Library().iPodPath, second.str());
        EXPECT_EQ(load.Listable(), c.listable);
        EXPECT_EQ(load.HasDatabase(), c.hasDatabase);
        EXPECT_EQ(load.notice.has_value(), c.notice);
    }
}

TEST(PlayerModel, ScansChooseTheFirstPlayerAndForgetOneThatWent) {
    browser::TPlayerModel model;
    model.List(Found({"/a", "/b"}));
    EXPECT_EQ(model.Chosen(), "/a");
    model.Choose("/b");
    model.Library().iPodPath = "/b"; // as a load leaves it
    // A scan with the same roots changes nothing.
    EXPECT_FALSE(model.Update(Found({"/a", "/b"})).changed);
    EXPECT_EQ(model.Chosen(), "/b");
    // The loaded player pulled: nothing chosen or loaded, the rest listed.
    const auto gone = model.Update(Found({"/a"}));
    EXPECT_TRUE(gone.loadedGone && !gone.arrived);
    EXPECT_EQ(model.Chosen(), "");
    EXPECT_EQ(model.Library().iPodPath, "");
    EXPECT_EQ(model.Roots(), std::vector<std::string>{"/a"});
    // One plugged in: the first listed becomes the chosen one, to be loaded.
    EXPECT_TRUE(model.Update(Found({"/a", "/c"})).arrived);
    EXPECT_EQ(model.Chosen(), "/a");
}
