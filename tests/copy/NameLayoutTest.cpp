#include "core/copy/NameLayout.h"

#include "DatabaseBuilder.h"
#include "core/device/TiPod.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// One track a case: its texts (title, album, artist, album artist) and numbers.
class Layouts : public ::testing::Test {
protected:
    void SetUp() override {
        auto track = [](std::int32_t id, std::initializer_list<dbbuild::StringItem> texts,
                        std::int32_t number, std::int32_t disc) {
            dbbuild::Track made = dbbuild::MakeTrack(id, texts);
            made.headerValues = {{0x2C, number}, {0x5C, disc}, {0x34, 1999}};
            return made;
        };
        dbbuild::DatabaseBuilder builder;
        builder.AddTrack(track(1,
                               {{1, "Song"},
                                {2, ":iPod_Control:Music:F00:A.mp3"},
                                {3, "Album"},
                                {4, "Artist"},
                                {22, "Band"}},
                               7, 2));
        builder.AddTrack(
            track(2, {{1, "What? / ..:"}, {2, ":iPod_Control:Music:F00:B.M4A"}}, 0, 0));
        builder.AddTrack(
            track(3, {{1, "-Intro"}, {2, ":iPod_Control:Music:F00:C"}, {4, "CON"}}, 0, 0));
        testsupport::WriteDatabase(root_.path(), builder.Build());
        library_.iPodPath = root_.str();
        ASSERT_EQ(library_.LoadDatabase().outcome, TLoadReport::Outcome::Loaded);
    }

    std::string Path(const char* layout, std::int32_t track) const {
        std::string path = copy::LayoutPath(layout, library_, track);
        for (char& c : path)
            if (c == '\\')
                c = '/';
        return path;
    }

    testsupport::TempDir root_;
    TiPod library_;
};

} // namespace

TEST_F(Layouts, FillEachPartThroughTheFileNameRule) {
    struct Case {
        const char* layout;
        std::int32_t track;
        const char* path;
    };
    const Case cases[] = {
        // The flat layout is the name a copy has always had.
        {"{title}", 0, "Song.mp3"},
        {"{title}", 1, "What.M4A"},
        {"{title}", 2, "-Intro"},
        {"{artist}/{album}/{track:02} {title}", 0, "Artist/Album/07 Song.mp3"},
        {"{albumartist}/{album}/{disc}-{track:02} {title}", 0, "Band/Album/2-07 Song.mp3"},
        {"{year}/{track:3}", 0, "1999/007.mp3"},
        // Empty artist and album, a missing number, the artist for an empty album artist.
        {"{albumartist}/{album}/{disc}-{track:02} {title}", 1,
         "Unknown Artist/Unknown Album/What.M4A"},
        {"{albumartist}/{title}", 2, "CON_/-Intro"},
        // Nothing a field holds makes a part of its own or leaves the target.
        {"{title}/{title}", 1, "What/What.M4A"},
        {"a//{title}", 0, "a/Song.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Path(c.layout, c.track), c.path) << c.layout;
}

TEST(LayoutCheck, RefusesWhatCannotNameAFile) {
    for (const char* bad : {"", "/", "{nope}", "{title", "title}", "{track:x}", "{track:123}"})
        EXPECT_FALSE(copy::CheckLayout(bad).ok()) << bad;
    for (const char* layout : copy::kReadyLayouts)
        EXPECT_TRUE(copy::CheckLayout(layout).ok()) << layout;
}
