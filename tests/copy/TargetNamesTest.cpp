#include "core/copy/TargetNames.h"

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <set>

using copy::TargetFileName;

namespace {

constexpr bool kWindows = platform::kPathSeparator == '\\';

std::string InFolder(std::string_view name) {
    return std::string("music") + platform::kPathSeparator + std::string(name);
}

} // namespace

TEST(RemoveInvalidFileChars, DeletesTheFifteenCharactersAndControlCodesOnly) {
    EXPECT_EQ(copy::RemoveInvalidFileChars(";=+<>/\"[]\\'*?|:"), "");
    EXPECT_EQ(copy::RemoveInvalidFileChars("a;b=c+d<e>f/g\"h[i]j\\k'l*m?n|o:p"),
              "abcdefghijklmnop");
    EXPECT_EQ(copy::RemoveInvalidFileChars(std::string("x\x01y\ty\nz\x1F", 8)), "xyyz");
    // The bidirectional controls go too: U+202A, U+202E, U+2066 and U+2069 here.
    EXPECT_EQ(copy::RemoveInvalidFileChars("a\xE2\x80\xAA\xE2\x80\xAE"
                                           "b\xE2\x81\xA6\xE2\x81\xA9.exe"),
              "ab.exe");
    // Blanks, dots, DEL and text beyond ASCII stay, U+2029 and U+206A beside the controls too.
    EXPECT_EQ(
        copy::RemoveInvalidFileChars(" a.b \x7F J\xC3\xB3ga \xE4\xB8\xAD \xE2\x80\xA9\xE2\x81\xAA"),
        " a.b \x7F J\xC3\xB3ga \xE4\xB8\xAD \xE2\x80\xA9\xE2\x81\xAA");
}

TEST(TargetFileName, GivesNamesBothFileSystemsAccept) {
    struct Case {
        const char* title;
        const char* extension;
        const char* name;
    };
    const Case cases[] = {
        {"Love Me Do", ".mp3", "Love Me Do.mp3"},
        {"What? / Why: \"Now\"", ".m4a", "What  Why Now.m4a"},
        {"Drive", "", "Drive"},
        {"Song.mp3", ".mp3", "Song.mp3.mp3"},
        {"trailing dot.", ".mp3", "trailing dot.mp3"},
        {"blanks and dots . .", "", "blanks and dots"},
        {"", ".mp3", "Untitled.mp3"},
        {"???", ".wav", "Untitled.wav"},
        {"..", "", "Untitled"},
        {"tab\there", ".mp3", "tabhere.mp3"},
        {"CON", ".mp3", "CON_.mp3"},
        {"con", "", "con_"},
        {"Nul.live", ".mp3", "Nul_.live.mp3"},
        {"COM1", ".m4a", "COM1_.m4a"},
        {"lpt9 ", "", "lpt9_"},
        {"AUX .x", "", "AUX_ .x"},
        {"CONSOLE", ".mp3", "CONSOLE.mp3"},
        {"COM0", "", "COM0"},
        {"COM10", "", "COM10"},
        {"com\xC2\xB9", ".mp3", "com\xC2\xB9_.mp3"},
        {"LPT\xC2\xB3.live", "", "LPT\xC2\xB3_.live"},
        {"COM\xC2\xB4", "", "COM\xC2\xB4"},
        {"Song", ".m:p3", "Song.mp3"},
        {"Song", ".", "Song"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TargetFileName(c.title, c.extension), c.name) << c.title << "|" << c.extension;
}

TEST(TargetFileName, CutsLongTitlesOnACharacterBoundary) {
    std::string title;
    for (int i = 0; i < 200; ++i)
        title += "\xC3\xB6"; // two bytes each
    const std::string name = TargetFileName(title, ".flac");
    EXPECT_LE(name.size(), copy::kMaxNameBytes);
    ASSERT_TRUE(name.ends_with(".flac"));
    EXPECT_EQ((name.size() - 5) % 2, 0u) << "a character was split";
    EXPECT_EQ(name.size(), copy::kMaxNameBytes - 1);
}

TEST(LocationExtension, TakesTheLastDotOfTheFileNameOnly) {
    EXPECT_EQ(copy::LocationExtension(":iPod_Control:Music:F00:ABCD.mp3"), ".mp3");
    EXPECT_EQ(copy::LocationExtension(":iPod_Control:Music:F00:ABCD.M4A"), ".M4A");
    EXPECT_EQ(copy::LocationExtension(":a:b.c.wav"), ".wav");
    EXPECT_EQ(copy::LocationExtension(":iPod_Control:Music:F00:ABCD"), "");
    EXPECT_EQ(copy::LocationExtension(":Music.old:F00:ABCD"), "");
    EXPECT_EQ(copy::LocationExtension(":Music.old\\ABCD"), "");
    EXPECT_EQ(copy::LocationExtension(":Music.old/ABCD"), "");
}

TEST(TargetFolderFromDialogPath, KeepsTheSeparatorOfARoot) {
    if (kWindows) {
        EXPECT_EQ(copy::TargetFolderFromDialogPath("C:\\Music\\Song.mp3"), "C:\\Music");
        EXPECT_EQ(copy::TargetFolderFromDialogPath("E:\\Song.mp3"), "E:\\");
        EXPECT_EQ(copy::TargetFolderFromDialogPath("C:/Music/Song.mp3"), "C:/Music");
        EXPECT_EQ(copy::JoinTargetPath("E:\\", "Song.mp3"), "E:\\Song.mp3");
        EXPECT_EQ(copy::JoinTargetPath("E:", "Song.mp3"), "E:\\Song.mp3");
    } else {
        EXPECT_EQ(copy::TargetFolderFromDialogPath("/home/me/Music/Song.mp3"), "/home/me/Music");
        EXPECT_EQ(copy::TargetFolderFromDialogPath("/Song.mp3"), "/");
        EXPECT_EQ(copy::JoinTargetPath("/", "Song.mp3"), "/Song.mp3");
    }
    EXPECT_EQ(copy::JoinTargetPath("music", "Song.mp3"), InFolder("Song.mp3"));
    EXPECT_EQ(copy::TargetFolderFromDialogPath("Song.mp3"), "");
}

TEST(NumberedPathName, PutsTheFirstFreeNumberBeforeTheLastExtension) {
    struct Case {
        const char* name;
        std::set<std::string> taken;
        const char* numbered;
    };
    const Case cases[] = {
        {"Song.mp3", {}, "Song(1).mp3"},
        {"Song.mp3", {"Song(1).mp3"}, "Song(2).mp3"},
        {"Song.mp3", {"Song(1).mp3", "Song(2).mp3", "Song(4).mp3"}, "Song(3).mp3"},
        {"Song", {}, "Song(1)"},
        {"Song.mp3.mp3", {}, "Song.mp3(1).mp3"},
        {"Mrs. Robinson", {}, "Mrs(1). Robinson"},
    };
    for (const Case& c : cases) {
        std::set<std::string> taken;
        for (const auto& name : c.taken)
            taken.insert(InFolder(name));
        const auto numbered = copy::NumberedPathName(
            InFolder(c.name), [&](const std::string& path) { return taken.count(path) > 0; });
        ASSERT_TRUE(numbered) << c.name;
        EXPECT_EQ(*numbered, InFolder(c.numbered)) << c.name;
    }
    EXPECT_FALSE(copy::NumberedPathName(InFolder("Song.mp3"), [](const std::string&) {
        return true;
    })) << "a folder where every name seems taken must not loop for ever";
}
