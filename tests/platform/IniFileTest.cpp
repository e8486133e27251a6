#include "platform/IniFile.h"

#include <gtest/gtest.h>

using platform::IniFile;

namespace {

TEST(IniFileGet, NamesIgnoreCaseAndValuesLoseBlanksAndQuotes) {
    const IniFile ini("[Visible]\n  SearchBox =  0  \nname=\"quoted text\"\n");
    EXPECT_EQ(ini.Get("visible", "SEARCHBOX"), "0");
    EXPECT_EQ(ini.Get("Visible", "name"), "quoted text");
}

TEST(IniFileGet, FirstMatchingSectionAndKeyWin) {
    const IniFile ini("[A]\nk=1\nk=2\n[a]\nk=3\nother=4\n");
    EXPECT_EQ(ini.Get("A", "k"), "1");
    EXPECT_EQ(ini.Get("A", "other"), std::nullopt);
}

TEST(IniFileGet, CommentsLinesWithoutEqualsAndKeysBeforeSectionsHoldNoKey) {
    const IniFile ini("k=0\n[S]\n;k=1\nk\n[T]\nk=2\n");
    EXPECT_EQ(ini.Get("S", "k"), std::nullopt);
    EXPECT_EQ(ini.Get("S", ";k"), std::nullopt);
    EXPECT_EQ(ini.Get("Missing", "k"), std::nullopt);
}

TEST(IniFileGet, ReadsCrlfAndByteOrderMark) {
    const IniFile ini("\xEF\xBB\xBF[S]\r\nk=v \r\nlast=x");
    EXPECT_EQ(ini.Get("S", "k"), "v");
    EXPECT_EQ(ini.Get("S", "last"), "x");
}

TEST(IniFileSet, ReplacesValueInPlaceAndKeepsEveryOtherByte) {
    const std::string before = "; layout\n[COLWIDTH]\n1 = 80\n  2=90  \n\n[Visible]\nSearchBox=0\n";
    IniFile ini(before);
    ASSERT_TRUE(ini.Set("colwidth", "2", "120"));
    EXPECT_EQ(ini.Text(), "; layout\n[COLWIDTH]\n1 = 80\n  2=120\n\n[Visible]\nSearchBox=0\n");
}

TEST(IniFileSet, AppendsKeyAfterTheSectionsLastKey) {
    IniFile ini("[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(ini.Set("A", "z", "3"));
    EXPECT_EQ(ini.Text(), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
}

TEST(IniFileSet, AddsMissingSectionAtTheEnd) {
    IniFile ini("[A]\nx=1");
    ASSERT_TRUE(ini.Set("B", "k", "v"));
    EXPECT_EQ(ini.Text(), "[A]\nx=1\n[B]\nk=v\n");

    IniFile empty;
    ASSERT_TRUE(empty.Set("Error Log", "t", "m"));
    EXPECT_EQ(empty.Text(), "[Error Log]\nt=m\n");
}

TEST(IniFileSet, NewLinesFollowACrlfFile) {
    IniFile ini("[A]\r\nx=1\r\n");
    ASSERT_TRUE(ini.Set("A", "y", "2"));
    ASSERT_TRUE(ini.Set("B", "z", "3"));
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
}

TEST(IniFileSet, RefusesWhatALineCannotHold) {
    IniFile ini("[A]\nx=1\n");
    EXPECT_FALSE(ini.Set("A", "x", "two\nlines"));
    EXPECT_FALSE(ini.Set("A", "k=ey", "v"));
    EXPECT_FALSE(ini.Set("A]", "k", "v"));
    EXPECT_FALSE(ini.Set(" ", "k", "v"));
    EXPECT_EQ(ini.Text(), "[A]\nx=1\n");
}

} // namespace
