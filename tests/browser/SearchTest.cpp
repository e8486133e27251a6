#include "core/library/Search.h"

#include <gtest/gtest.h>

using browser::SearchFunc;
using browser::SearchTextAccepted;

TEST(SearchFunc, NeedsEveryWordAsAnExactSubstring) {
    EXPECT_TRUE(SearchFunc("Love Me", "Love Me Do"));
    EXPECT_TRUE(SearchFunc("Me Love", "Love Me Do")); // any order
    EXPECT_TRUE(SearchFunc("ove", "Stove Top"));      // inside longer words
    EXPECT_TRUE(SearchFunc("ov ve", "Love"));         // words may overlap
    EXPECT_FALSE(SearchFunc("Love You", "Love Me Do"));
    EXPECT_FALSE(SearchFunc("love", "Love Me Do")); // letter case counts
}

TEST(SearchFunc, SplitsOnlyAtBlanks) {
    EXPECT_TRUE(SearchFunc("  Love   Me  ", "Love Me Do"));
    EXPECT_FALSE(SearchFunc("Love\tMe", "Love Me Do")); // a tab is part of the word
    EXPECT_TRUE(SearchFunc("Love\tMe", "Love\tMe"));
}

TEST(SearchFunc, BlanksOnlyMatchNothingAndNoTextMatchesAll) {
    EXPECT_FALSE(SearchFunc(" ", "anything"));
    EXPECT_FALSE(SearchFunc("   ", "   "));
    EXPECT_TRUE(SearchFunc("", "anything"));
}

TEST(SearchTextAccepted, RefusesOnlyEmptyAndBlankTexts) {
    EXPECT_FALSE(SearchTextAccepted(""));
    EXPECT_FALSE(SearchTextAccepted("    "));
    EXPECT_TRUE(SearchTextAccepted("Love U 2")); // a one-letter last word is fine
    EXPECT_TRUE(SearchTextAccepted("a "));
    EXPECT_TRUE(SearchTextAccepted("\t"));
}
