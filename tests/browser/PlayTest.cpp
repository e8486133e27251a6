#include "core/library/Play.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlayCase {
    const char* path;
    bool playable;
};

class PlayableFiles : public ::testing::TestWithParam<PlayCase> {};

TEST_P(PlayableFiles, OnlyThePlayersOwnTypesAreOpened) {
    EXPECT_EQ(browser::IsPlayableFile(GetParam().path), GetParam().playable) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Types, PlayableFiles,
    ::testing::Values(
        // Every type a player holds, in any letter case.
        PlayCase{"/p/iPod_Control/Music/F00/A.mp3", true}, PlayCase{"e:\\M\\F00\\A.m4a", true},
        PlayCase{"A.m4b", true}, PlayCase{"A.m4p", true}, PlayCase{"A.aac", true},
        PlayCase{"A.aif", true}, PlayCase{"A.aiff", true}, PlayCase{"A.wav", true},
        PlayCase{"A.mp4", true}, PlayCase{"A.m4v", true}, PlayCase{"A.mov", true},
        PlayCase{"A.aa", true}, PlayCase{"A.MP3", true}, PlayCase{"A.Wav", true},
        PlayCase{"A.AIFF", true},
        // What the shell would run or open with something else.
        PlayCase{"A.exe", false}, PlayCase{"A.bat", false}, PlayCase{"A.lnk", false},
        PlayCase{"A.js", false}, PlayCase{"A.hta", false}, PlayCase{"A.EXE", false},
        PlayCase{"A.cmd", false}, PlayCase{"A.mp3.exe", false},
        // Only the last dot of the name counts; a type must be whole.
        PlayCase{"/p/F00/ABCD", false}, PlayCase{"/p/music.mp3/ABCD", false},
        PlayCase{"e:\\music.wav\\ABCD", false}, PlayCase{"A.", false}, PlayCase{"A.a", false},
        PlayCase{"A.mp", false}, PlayCase{"A.mp33", false}, PlayCase{"A.exe.mp3", true},
        PlayCase{".mp3", true}, PlayCase{"", false}));

} // namespace
